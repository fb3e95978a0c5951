// quambel_bildspur: watches the playfield as a player sees it. It grabs the
// window's pixels from the X server about 60 times a second (what the screen
// shows, dialogues in front included), finds the red balls as connected
// blobs, follows every ball from picture to picture by nearest position and
// counts what a smooth picture must never show:
//
//   Rücksprünge   a ball whose motion reverses for one picture and then goes
//                 on (a place the motion did not pass through);
//   verschwunden  a ball missing for one picture and back in the next;
//   angeschnitten a blob far smaller than a ball with nothing in front of it
//                 (slivers, crescents);
//   Reste         ball-red or pad-blue pixels standing still where no ball or
//                 pad is.
//
//   quambel_bildspur FENSTER-ID [SEKUNDEN] [BILDER_JE_SEKUNDE] [-v]
//
// It waits until a game shows a ball, then measures; -v lists every finding
// on stderr. The scale is read off the walls, so the same tool serves every
// QT_SCALE_FACTOR. scripts/bildspur.sh runs it beside the soak harness.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

double jetzt() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void schlafenBis(double sekunden) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(sekunden);
    t.tv_nsec = static_cast<long>((sekunden - static_cast<double>(t.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
}

// ---- grabbing -----------------------------------------------------------------

class Greifer {
public:
    Greifer(Display* d, Window fenster) : d_(d) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d_, fenster, &a)) throw std::string("Fenster nicht gefunden");
        Window kind = 0;
        XTranslateCoordinates(d_, fenster, DefaultRootWindow(d_), 0, 0, &x_, &y_, &kind);
        const int sw = DisplayWidth(d_, DefaultScreen(d_)), sh = DisplayHeight(d_, DefaultScreen(d_));
        x_ = std::max(x_, 0);
        y_ = std::max(y_, 0);
        w_ = std::min(a.width, sw - x_);
        h_ = std::min(a.height, sh - y_);
        if (XShmQueryExtension(d_)) {
            bild_ = XShmCreateImage(d_, DefaultVisual(d_, DefaultScreen(d_)),
                                    static_cast<unsigned>(DefaultDepth(d_, DefaultScreen(d_))), ZPixmap, nullptr, &shm_,
                                    static_cast<unsigned>(w_), static_cast<unsigned>(h_));
            shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(bild_->bytes_per_line) * static_cast<size_t>(h_),
                                IPC_CREAT | 0600);
            shm_.shmaddr = bild_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
            shm_.readOnly = False;
            XShmAttach(d_, &shm_);
            XSync(d_, False);
            shmctl(shm_.shmid, IPC_RMID, nullptr); // gone once both sides detach
        }
    }
    ~Greifer() {
        if (shm_.shmaddr) {
            XShmDetach(d_, &shm_);
            shmdt(shm_.shmaddr);
            bild_->data = nullptr;
        }
        if (bild_) XDestroyImage(bild_);
    }
    // From the root window, so that whatever lies in front shows as it would.
    bool greifen() {
        if (shm_.shmaddr) return XShmGetImage(d_, DefaultRootWindow(d_), bild_, x_, y_, AllPlanes);
        if (bild_) XDestroyImage(bild_);
        bild_ = XGetImage(d_, DefaultRootWindow(d_), x_, y_, static_cast<unsigned>(w_), static_cast<unsigned>(h_),
                          AllPlanes, ZPixmap);
        return bild_ != nullptr;
    }
    int breite() const { return w_; }
    int höhe() const { return h_; }
    bool rgb32() const {
        return bild_ && bild_->bits_per_pixel == 32 && bild_->red_mask == 0xFF0000 && bild_->blue_mask == 0xFF;
    }
    uint32_t pixel(int x, int y) const {
        return *reinterpret_cast<const uint32_t*>(bild_->data + static_cast<ptrdiff_t>(y) * bild_->bytes_per_line +
                                                  x * 4);
    }

private:
    Display* d_;
    XImage* bild_ = nullptr;
    XShmSegmentInfo shm_{};
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
};

int rot(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int grün(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int blau(uint32_t p) { return static_cast<int>(p & 0xFF); }

// ---- where the playfield is -----------------------------------------------------

// The walls are one logical pixel of pure black; the top one runs 377 logical
// pixels (twips 360 to 6000, ends included). The longest black runs in the
// window are the top and the bottom wall; the scale follows from their length.
struct Feld {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1; // inside the walls, in window pixels, inclusive
    double skala = 1;
    int dicke = 1; // a wall's thickness in device pixels
    int breite() const { return x1 - x0 + 1; }
    int höhe() const { return y1 - y0 + 1; }
    // The score label (twips 480, 480, 2535 x 1455: pixels 32, 32, 169 x 97),
    // opaque while in front: balls vanish under it by design. Held two
    // pixels wider, for its antialiased neighbours.
    int lx0 = 0, ly0 = 0, lx1 = 0, ly1 = 0; // in field pixels, inclusive
};

bool feldFinden(const Greifer& g, Feld& f) {
    std::vector<int> lauf(static_cast<size_t>(g.höhe()), 0), anfang(static_cast<size_t>(g.höhe()), 0);
    int längster = 0;
    for (int y = 0; y < g.höhe(); ++y) {
        int n = 0;
        for (int x = 0; x < g.breite(); ++x) {
            const uint32_t p = g.pixel(x, y);
            n = (rot(p) < 16 && grün(p) < 16 && blau(p) < 16) ? n + 1 : 0;
            if (n > lauf[static_cast<size_t>(y)])
                lauf[static_cast<size_t>(y)] = n, anfang[static_cast<size_t>(y)] = x - n + 1;
        }
        längster = std::max(längster, lauf[static_cast<size_t>(y)]);
    }
    if (längster < 300) return false;
    std::vector<int> wandZeilen;
    for (int y = 0; y < g.höhe(); ++y)
        if (lauf[static_cast<size_t>(y)] >= längster - 2) wandZeilen.push_back(y);
    int obenEnde = wandZeilen.front();
    while (std::find(wandZeilen.begin(), wandZeilen.end(), obenEnde + 1) != wandZeilen.end()) ++obenEnde;
    int untenAnfang = wandZeilen.back();
    while (std::find(wandZeilen.begin(), wandZeilen.end(), untenAnfang - 1) != wandZeilen.end()) --untenAnfang;
    if (untenAnfang <= obenEnde + 100) return false;
    f.dicke = obenEnde - wandZeilen.front() + 1;
    f.skala = längster / 377.0;
    const int links = anfang[static_cast<size_t>(wandZeilen.front())];
    f.x0 = links + f.dicke;
    f.x1 = links + längster - 1 - f.dicke;
    f.y0 = obenEnde + 1;
    f.y1 = untenAnfang - 1;
    // Logical (X, Y) of the playfield lies at field pixel (X - 24) * skala - dicke.
    auto feldPixel = [&](double logisch) { return static_cast<int>(std::lround((logisch - 24) * f.skala)) - f.dicke; };
    f.lx0 = feldPixel(32) - 2;
    f.ly0 = feldPixel(32) - 2;
    f.lx1 = feldPixel(32 + 169) + 2;
    f.ly1 = feldPixel(32 + 97) + 2;
    return true;
}

// ---- what a pixel shows -----------------------------------------------------------

enum Art : uint8_t { Grund, Rot, Blau, Anderes };

// Balls (#FF0000) and the pad (#0000FF) are drawn antialiased on the window's
// background: an edge pixel is a * colour + (1 - a) * background. A pixel on
// that line within TOLERANZ per channel belongs to them, with coverage a;
// 8 is twice what rounding to 8 bits can put off the line, and far below
// what separates the bonus pictures' shaded reds and blues (#FF4A4A..#8A0000,
// #1040D0) from it. Below 8 % coverage a pixel is not told from background.
constexpr int TOLERANZ = 8;
constexpr double MINDESTDECKUNG = 0.08;

struct Einordnung {
    int kr, kg, kb; // background
    Art art(uint32_t p, float& a) const {
        const int r = rot(p), g = grün(p), b = blau(p);
        if (std::abs(r - kr) <= 6 && std::abs(g - kg) <= 6 && std::abs(b - kb) <= 6) return a = 0, Grund;
        auto aufLinie = [&](int hoch, int k_hoch, int n1, int k1, int n2, int k2) {
            if (k1 < 32) return false;
            a = 1.0f - static_cast<float>(n1) / static_cast<float>(k1);
            return a >= 0 && std::abs(n2 - (1 - a) * k2) <= TOLERANZ &&
                   std::abs(hoch - (255 * a + (1 - a) * k_hoch)) <= TOLERANZ;
        };
        // The faintest edge pixels count as background, not as something else.
        if (aufLinie(r, kr, g, kg, b, kb)) return a < MINDESTDECKUNG ? (a = 0, Grund) : Rot;
        if (aufLinie(b, kb, r, kr, g, kg)) return a < MINDESTDECKUNG ? (a = 0, Grund) : Blau;
        return a = 0, Anderes;
    }
};

// ---- blobs ----------------------------------------------------------------------------

struct Fleck {
    double fläche = 0, sx = 0, sy = 0; // coverage sum and its weighted centre
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool verdeckt = false; // something other than background borders it (an object in front or beside)
    bool amRand = false;   // it touches a wall
    bool amLabel = false;  // it touches the score label
    double x() const { return sx / fläche; }
    double y() const { return sy / fläche; }
    auto schlüssel() const { return std::make_tuple(x0, y0, x1, y1, std::lround(fläche * 4)); }
};

std::vector<Fleck> flecken(const std::vector<Art>& art, const std::vector<float>& deckung, int w, int h, Art welche,
                           const Feld& f) {
    std::vector<Fleck> alle;
    std::vector<int> marke(art.size(), -1), stapel;
    for (int start = 0; start < w * h; ++start) {
        if (art[static_cast<size_t>(start)] != welche || marke[static_cast<size_t>(start)] >= 0) continue;
        const int nr = static_cast<int>(alle.size());
        alle.emplace_back();
        Fleck& k = alle.back();
        stapel.assign(1, start);
        marke[static_cast<size_t>(start)] = nr;
        while (!stapel.empty()) {
            const int i = stapel.back();
            stapel.pop_back();
            const int x = i % w, y = i / w;
            const double a = deckung[static_cast<size_t>(i)];
            k.fläche += a;
            k.sx += a * x;
            k.sy += a * y;
            k.x0 = std::min(k.x0, x), k.x1 = std::max(k.x1, x), k.y0 = std::min(k.y0, y), k.y1 = std::max(k.y1, y);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) {
                        k.amRand = true;
                        continue;
                    }
                    const int j = ny * w + nx;
                    const Art n = art[static_cast<size_t>(j)];
                    if (n == welche) {
                        if (marke[static_cast<size_t>(j)] < 0) marke[static_cast<size_t>(j)] = nr, stapel.push_back(j);
                    } else if (n != Grund) {
                        k.verdeckt = true;
                    }
                }
        }
        k.amLabel = k.x1 >= f.lx0 && k.x0 <= f.lx1 && k.y1 >= f.ly0 && k.y0 <= f.ly1;
    }
    return alle;
}

// ---- ball tracks --------------------------------------------------------------------

struct Schritt {
    double d = 0;
    int bild = -1;
};

struct Spur {
    double x, y, vx = 0, vy = 0; // place, and speed in pixels a second
    double zeit;                 // when it was last seen
    int zuletzt;                 // the last picture it was seen in
    int länge = 1;               // pictures seen
    int vermisst = -1;           // the picture it went missing in, if it did
    Schritt älter[2], neuer[2];
    std::string weg; // the last places, for -v
};

struct Befund {
    int bild;
    double zeit, x, y;
    const char* was;
    std::string weg;
};

int vorzeichen(double v) { return (v > 0) - (v < 0); }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Aufruf: quambel_bildspur FENSTER-ID [SEKUNDEN] [BILDER_JE_SEKUNDE] [-v]\n");
        return 2;
    }
    const Window fenster = std::strtoul(argv[1], nullptr, 0);
    const double dauer = argc > 2 ? std::atof(argv[2]) : 60;
    const double rate = argc > 3 ? std::atof(argv[3]) : 60;
    const bool ausführlich = argc > 4 && !std::strcmp(argv[4], "-v");
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "Keine Verbindung zum X-Server\n");
        return 1;
    }
    try {
        Greifer g(d, fenster);

        // ---- wait for a game with a ball in it -------------------------------------------
        Feld f;
        Einordnung e{};
        std::vector<Art> art;
        std::vector<float> deckung;
        auto einordnen = [&] {
            art.resize(static_cast<size_t>(f.breite() * f.höhe()));
            deckung.resize(art.size());
            for (int y = 0; y < f.höhe(); ++y)
                for (int x = 0; x < f.breite(); ++x) {
                    const size_t i = static_cast<size_t>(y * f.breite() + x);
                    art[i] = e.art(g.pixel(f.x0 + x, f.y0 + y), deckung[i]);
                }
        };
        const double ball = 16; // a ball is 240 twips: 16 logical pixels across
        double D = ball, A = 0;
        const double warteBis = jetzt() + 120;
        for (;;) {
            if (jetzt() > warteBis) throw std::string("kein Spiel mit Ball gesehen");
            schlafenBis(jetzt() + 0.1);
            if (!g.greifen() || !g.rgb32() || !feldFinden(g, f)) continue;
            std::map<uint32_t, int> häufig;
            for (int y = f.y0; y <= f.y1; y += 3)
                for (int x = f.x0; x <= f.x1; x += 3) ++häufig[g.pixel(x, y) & 0xFFFFFF];
            const uint32_t grund = std::max_element(häufig.begin(), häufig.end(), [](auto& a, auto& b) {
                                       return a.second < b.second;
                                   })->first;
            e = {rot(grund), grün(grund), blau(grund)};
            D = ball * f.skala;
            A = M_PI * D * D / 4;
            einordnen();
            bool einBall = false;
            for (const Fleck& k : flecken(art, deckung, f.breite(), f.höhe(), Rot, f)) einBall |= k.fläche > 0.5 * A;
            if (einBall) break;
        }
        if (ausführlich)
            std::fprintf(stderr, "Feld %dx%d bei %d,%d, Skala %.3f, Wand %d px, Grund #%02X%02X%02X, Ball %.0f px\n",
                         f.breite(), f.höhe(), f.x0, f.y0, f.skala, f.dicke, e.kr, e.kg, e.kb, A);

        // ---- measure --------------------------------------------------------------------
        std::vector<Spur> spuren;
        std::vector<Befund> befunde;
        std::set<int> bilderRück, bilderWeg, bilderAngeschnitten;
        int rück = 0, rückAmPad = 0, weg = 0, angeschnitten = 0, reste = 0, spurenLang = 0, bilder = 0, neueBilder = 0;
        double längsterRest = 0, bälleSumme = 0;
        std::map<std::tuple<int, int, int, int, long>, double> stehtSeit, stehtSeitVorher;
        std::set<std::tuple<int, int, int, int, long>> gemeldet;
        uint64_t vorherHash = 0;
        double vorherNeu = 0, längsteLücke = 0;
        int aussetzer = 0;
        std::vector<bool> lückeIn;
        // BILDSPUR_ORDNER=DIR keeps the last pictures and writes the three
        // around each finding there (t-2, t-1, t as PPM), to look at.
        const char* ordner = std::getenv("BILDSPUR_ORDNER");
        std::deque<std::vector<uint32_t>> zuletzt;
        const double start = jetzt();
        double letzte = start;
        auto melden = [&](int bild, double x, double y, const char* was, std::string weg = {}) {
            befunde.push_back({bild, letzte - start, x / f.skala + 24, y / f.skala + 24, was, std::move(weg)});
        };
        for (int n = 0;; ++n) {
            const double soll = start + n / rate;
            if (soll - start >= dauer) break;
            schlafenBis(soll);
            const double vorGriff = jetzt();
            if (!g.greifen()) continue;
            letzte = jetzt();
            // A grab that took long (this grabber or the server held up on a
            // busy machine): when its picture was taken is unsure by as much.
            const bool langerGriff = letzte - vorGriff > 0.004;
            ++bilder;
            uint64_t hash = 1469598103934665603ull;
            for (int y = f.y0; y <= f.y1; ++y)
                for (int x = f.x0; x <= f.x1; ++x) hash = (hash ^ g.pixel(x, y)) * 1099511628211ull;
            if (hash == vorherHash) continue; // the same frame again: nothing new to follow
            vorherHash = hash;
            const int t = neueBilder++;
            const size_t befundeVorher = befunde.size();
            // A gap of more than two frames between new pictures: the game (or
            // this grabber) was held up and the picture stood. The player sees
            // a stutter, not a wrong place; it is counted as such, and no
            // ball is judged across it (it may have bounced meanwhile).
            const double lücke = letzte - vorherNeu;
            vorherNeu = letzte;
            lückeIn.push_back(t > 0 && (lücke > 2.5 / 60 || langerGriff));
            if (t > 0 && lücke > 2.5 / 60) {
                ++aussetzer;
                längsteLücke = std::max(längsteLücke, lücke);
            }
            if (ordner) {
                std::vector<uint32_t> kopie;
                kopie.reserve(static_cast<size_t>(f.breite() * f.höhe()));
                for (int y = f.y0; y <= f.y1; ++y)
                    for (int x = f.x0; x <= f.x1; ++x) kopie.push_back(g.pixel(x, y));
                zuletzt.push_back(std::move(kopie));
                if (zuletzt.size() > 3) zuletzt.pop_front();
            }
            einordnen();
            std::vector<Fleck> rote = flecken(art, deckung, f.breite(), f.höhe(), Rot, f);
            std::vector<Fleck> blaue = flecken(art, deckung, f.breite(), f.höhe(), Blau, f);
            for (const Fleck& k : rote) bälleSumme += k.fläche / A;

            // Left-overs: a blob standing still for 0.3 s. A ball in flight never
            // does: gravity adds 17 twips per 40 ms tick to its speed, so even
            // at the top of its arc it moves over a pixel within 0.3 s. The pad
            // (the largest blue blob) may stand; a piece of blue beside it with
            // nothing but background around it may not.
            std::swap(stehtSeit, stehtSeitVorher);
            stehtSeit.clear();
            size_t pad = 0;
            for (size_t i = 0; i < blaue.size(); ++i)
                if (blaue[i].fläche > blaue[pad].fläche) pad = i;
            auto stehend = [&](const Fleck& k, bool zählt) {
                const auto s = k.schlüssel();
                const auto alt = stehtSeitVorher.find(s);
                const double seit = alt == stehtSeitVorher.end() ? letzte : alt->second;
                stehtSeit[s] = seit;
                if (!zählt || letzte - seit < 0.3) return alt != stehtSeitVorher.end();
                längsterRest = std::max(längsterRest, letzte - seit);
                if (gemeldet.insert(s).second) {
                    ++reste;
                    melden(t, k.x(), k.y(), "Rest");
                }
                return true;
            };
            for (size_t i = 0; i < blaue.size(); ++i)
                stehend(blaue[i], i != pad && !blaue[i].verdeckt && !blaue[i].amRand);
            std::vector<bool> steht(rote.size());
            for (size_t i = 0; i < rote.size(); ++i)
                // The pad turns red while powered: a blob wider than two balls is no ball.
                steht[i] = stehend(rote[i], !rote[i].amLabel && rote[i].x1 - rote[i].x0 < 2 * D);

            // Cut balls: under half a ball with only background around it, away
            // from walls and label. A ball partly behind a bonus picture, a
            // shot, another object or the opaque label touches what covers it.
            bool schnitt = false;
            for (size_t i = 0; i < rote.size(); ++i) {
                const Fleck& k = rote[i];
                if (k.fläche < 0.5 * A && k.fläche >= 1 && !k.verdeckt && !k.amRand && !k.amLabel && !steht[i]) {
                    ++angeschnitten;
                    schnitt = true;
                    melden(t, k.x(), k.y(), "angeschnitten");
                }
            }
            if (schnitt) bilderAngeschnitten.insert(t);

            // Whole balls on their own follow their tracks; merged, covered or
            // cut ones end them (a new track starts when the ball is whole again).
            std::vector<size_t> ganze;
            for (size_t i = 0; i < rote.size(); ++i) {
                const Fleck& k = rote[i];
                if (k.fläche >= 0.8 * A && k.fläche <= 1.2 * A && !k.verdeckt && !k.amRand && !k.amLabel &&
                    k.x1 - k.x0 <= D + 3 && k.y1 - k.y0 <= D + 3)
                    ganze.push_back(i);
            }
            // Nearest to where each track's last step carries it. A ball moves
            // under 10 logical pixels a picture; a jump a tick ahead adds as
            // much again: two diameters hold both.
            std::vector<std::tuple<double, size_t, size_t>> paare;
            for (size_t s = 0; s < spuren.size(); ++s) {
                const Spur& sp = spuren[s];
                if (sp.zuletzt != t - 1) continue;
                for (size_t j = 0; j < ganze.size(); ++j) {
                    const double dt = letzte - sp.zeit;
                    const double dd =
                        std::hypot(rote[ganze[j]].x() - sp.x - sp.vx * dt, rote[ganze[j]].y() - sp.y - sp.vy * dt);
                    if (dd <= 2 * D) paare.emplace_back(dd, s, j);
                }
            }
            std::sort(paare.begin(), paare.end());
            std::vector<int> spurVon(ganze.size(), -1);
            std::vector<bool> spurFertig(spuren.size(), false);
            for (auto [dd, s, j] : paare) {
                if (spurFertig[s] || spurVon[j] >= 0) continue;
                spurFertig[s] = true;
                // Another ball within two diameters: after a catch the two
                // halves fly off from one place, and which is which is unsure.
                // The track ends; each starts anew once on its own.
                bool unsicher = false;
                const Fleck& hier = rote[ganze[j]];
                for (const Fleck& k : rote)
                    if (&k != &hier && std::hypot(k.x() - hier.x(), k.y() - hier.y()) < 2 * D) unsicher = true;
                if (unsicher) continue;
                spurVon[j] = static_cast<int>(s);
                Spur& sp = spuren[s];
                const Fleck& k = rote[ganze[j]];
                if (ausführlich) {
                    char ort[64];
                    std::snprintf(ort, sizeof ort, " %d:%.1f,%.1f", t, k.x() / f.skala + 24, k.y() / f.skala + 24);
                    sp.weg = (sp.weg.size() > 120 ? sp.weg.substr(sp.weg.size() - 120) : sp.weg) + ort;
                }
                const double schritt[2] = {k.x() - sp.x, k.y() - sp.y};
                for (int achse = 0; achse < 2; ++achse) {
                    // A reversal that reverses back within two pictures; a step
                    // back of at least a logical pixel (a ball's steps are whole
                    // device pixels: its picture is placed on them).
                    const double dd2 = schritt[achse];
                    if (std::abs(dd2) < 0.5) continue;
                    Schritt& a = sp.älter[achse];
                    Schritt& b = sp.neuer[achse];
                    if (a.bild >= 0 && vorzeichen(a.d) != vorzeichen(b.d) && vorzeichen(b.d) != vorzeichen(dd2) &&
                        std::abs(b.d) >= f.skala && t - b.bild <= 2) {
                        ++rück;
                        bilderRück.insert(b.bild);
                        // Within a tick's fall of the pad's top (440 logical
                        // pixels; a ball falls up to 27 a tick): a catch.
                        if (sp.y / f.skala + 24 >= 400) ++rückAmPad;
                        melden(b.bild, sp.x, sp.y, achse ? "Rücksprung senkrecht" : "Rücksprung waagerecht", sp.weg);
                    }
                    a = b;
                    b = {dd2, t};
                }
                const double dt = std::max(letzte - sp.zeit, 1e-3);
                sp.vx = schritt[0] / dt, sp.vy = schritt[1] / dt;
                sp.x = k.x(), sp.y = k.y(), sp.zeit = letzte, sp.zuletzt = t;
                if (++sp.länge == 4) ++spurenLang;
            }
            // Missing: where the track should be is bare background (not a
            // merge, not a cover, not the label, not past a wall).
            auto decktRot = [&](double cx, double cy, double& grund) {
                const int r = static_cast<int>(D / 2);
                int n = 0, roteN = 0, grundN = 0;
                for (int y = static_cast<int>(cy) - r; y <= static_cast<int>(cy) + r; ++y)
                    for (int x = static_cast<int>(cx) - r; x <= static_cast<int>(cx) + r; ++x) {
                        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r) continue;
                        if (x < 0 || y < 0 || x >= f.breite() || y >= f.höhe()) return -1.0;
                        if (x >= f.lx0 - r && x <= f.lx1 + r && y >= f.ly0 - r && y <= f.ly1 + r) return -1.0;
                        const size_t i = static_cast<size_t>(y * f.breite() + x);
                        ++n;
                        roteN += art[i] == Rot && deckung[i] >= 0.5f;
                        grundN += art[i] == Grund;
                    }
                grund = n ? static_cast<double>(grundN) / n : 0;
                return n ? static_cast<double>(roteN) / n : 0;
            };
            // The grabs and the game's frames are not in step, and a busy
            // machine may drop a frame of the game: a grab shows the frame
            // shown at some time within a frame before it. A ball counts as
            // missing only if it is nowhere on its way within a frame of where
            // the time since it was last seen carries it, and as vanished if
            // it is back on that way in the next picture. A ball on its first
            // picture has no way yet; one near a wall or the ceiling may be
            // turned there, a step ahead, as the rules turn it.
            constexpr double bild = 1.0 / 60;
            auto aufDemWeg = [&](const Spur& sp, double& grund) {
                const double dt = letzte - sp.zeit;
                double roteAnteil = -1, grundMin = 1;
                for (double tau = std::max(dt - bild, bild / 4); tau <= dt + bild + 1e-9; tau += bild / 4) {
                    double g = 0;
                    const double x = sp.x + tau * sp.vx, y = sp.y + tau * sp.vy;
                    // At a wall or the ceiling the rules turn a ball a step
                    // ahead, where it is: nothing to say there.
                    if (x < D / 2 || x > f.breite() - D / 2 || y < D / 2) return -1.0;
                    const double r = decktRot(x, y, g);
                    if (r < 0) return -1.0; // past a wall or at the label: nothing to say
                    roteAnteil = std::max(roteAnteil, r);
                    grundMin = std::min(grundMin, g);
                }
                grund = grundMin;
                return roteAnteil;
            };
            for (size_t s = 0; s < spuren.size(); ++s) {
                Spur& sp = spuren[s];
                double grund = 0;
                if (lückeIn[static_cast<size_t>(t)] || (t > 0 && lückeIn[static_cast<size_t>(t - 1)])) {
                    sp.vermisst = -1;
                } else if (sp.zuletzt == t - 1 && !spurFertig[s] && sp.vermisst < 0) {
                    // Nor beside another ball that it may have merged with or
                    // crossed (two balls crossing swap places; which is which
                    // is unsure).
                    bool nebenAnderem = false;
                    for (const Fleck& k : rote)
                        nebenAnderem |= std::hypot(k.x() - sp.x - sp.vx * (letzte - sp.zeit),
                                                   k.y() - sp.y - sp.vy * (letzte - sp.zeit)) < 2 * D;
                    if (!nebenAnderem && aufDemWeg(sp, grund) >= 0 && grund >= 0.9) sp.vermisst = t;
                } else if (sp.zuletzt == t - 2 && sp.vermisst == t - 1) {
                    if (aufDemWeg(sp, grund) >= 0.5) {
                        ++weg;
                        bilderWeg.insert(t - 1);
                        melden(t - 1, sp.x, sp.y, "verschwunden", sp.weg);
                    }
                }
            }
            for (size_t j = 0; j < ganze.size(); ++j)
                if (spurVon[j] < 0)
                    spuren.push_back({rote[ganze[j]].x(), rote[ganze[j]].y(), 0, 0, letzte, t, 1, -1, {}, {}, {}});
            std::erase_if(spuren, [&](const Spur& sp) { return sp.zuletzt < t - 2; });
            if (ordner && befunde.size() > befundeVorher)
                for (size_t i = 0; i < zuletzt.size(); ++i) {
                    const std::string name = std::string(ordner) + "/" + std::to_string(t) + "-" +
                                             std::to_string(t - static_cast<int>(zuletzt.size() - 1 - i)) + ".ppm";
                    FILE* datei = std::fopen(name.c_str(), "wb");
                    if (!datei) continue;
                    std::fprintf(datei, "P6\n%d %d\n255\n", f.breite(), f.höhe());
                    for (uint32_t p : zuletzt[i]) {
                        const unsigned char rgb[3] = {static_cast<unsigned char>(rot(p)),
                                                      static_cast<unsigned char>(grün(p)),
                                                      static_cast<unsigned char>(blau(p))};
                        std::fwrite(rgb, 1, 3, datei);
                    }
                    std::fclose(datei);
                }
        }
        const double wand = letzte - start;

        if (ausführlich)
            for (const Befund& b : befunde)
                std::fprintf(stderr, "Bild %d (%.3f s): %s bei %.1f, %.1f%s\n", b.bild, b.zeit, b.was, b.x, b.y,
                             b.weg.c_str());
        std::printf(
            "| Skala | Bilder (neu) | Bilder je s | Bälle im Mittel | Ballspuren | Rücksprünge, davon am Pad "
            "(Bilder) | verschwunden (Bilder) | angeschnitten (Bilder) | Reste (längster) | Aussetzer (längster) |\n");
        std::printf("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |\n");
        std::printf(
            "| %.2g | %d (%d) | %.1f | %.1f | %d | %d, %d (%zu) | %d (%zu) | %d (%zu) | %d (%.1f s) | %d (%.0f ms) |\n",
            f.skala, bilder, neueBilder, wand > 0 ? bilder / wand : 0, neueBilder ? bälleSumme / neueBilder : 0,
            spurenLang, rück, rückAmPad, bilderRück.size(), weg, bilderWeg.size(), angeschnitten,
            bilderAngeschnitten.size(), reste, längsterRest, aussetzer, längsteLücke * 1000);
    } catch (const std::string& fehler) {
        std::fprintf(stderr, "quambel_bildspur: %s\n", fehler.c_str());
        XCloseDisplay(d);
        return 1;
    }
    XCloseDisplay(d);
    return 0;
}
