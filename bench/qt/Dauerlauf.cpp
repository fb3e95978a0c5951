// quambel_dauerlauf: the real program (model, Qt view, timers, music) with a
// bot at the mouse. It measures what a player feels: how evenly the game's
// timers tick during play, the process's CPU in play and in the settings
// panel, the peak memory, and the time from process start to the first
// painted frame.
//
//   quambel_dauerlauf [--spiel SEKUNDEN] [--leerlauf SEKUNDEN] [--ticks DATEI.csv]
//                     [--voll BÄLLE] [--stumm 1] [--nur-takte 1] [--bahnen 1]
//                     [--stück 1..4]
//
// --stück plays that background piece whenever the game picks one: the
// pieces cost the synth between 0.6 and 1.5 % of a core, so CPU figures of
// two builds compare only with the same piece.
//
// --bahnen checks every frame against the game: each ball must be drawn on
// the way its two ticks span (from its place at one tick to its place at
// the next, with a pixel to spare for rounding), moving on, never back,
// from frame to frame, and shown whenever it is in play.
//
// --voll keeps the field topped up to that many balls (the pad stays off to
// the side, so that no catch wins the game) to time the frames of a full
// field; --stumm plays without music; --nur-takte draws only at the ticks.
//
// The bot steers through the same path as the mouse (a mouse-move event on
// the playfield), fires now and then, answers the end-of-game dialogues and
// starts the next game. Ticks are counted only inside a running game and
// never across a dialogue, which holds the timers by design.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/qt/Anwendung.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Programm.h"
#include "app/qt/Spielfeld.h"
#include "platform/Befehlsschnittstelle.h"
#include "sound/player/Musikspieler.h"

namespace {

using Uhr = std::chrono::steady_clock;

double sekundenSeitProzessstart() {
    // Field 22 of /proc/self/stat: start time in clock ticks after boot.
    std::ifstream stat("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), {});
    const size_t klammer = s.rfind(')');
    if (klammer == std::string::npos) return -1;
    std::vector<std::string> felder;
    size_t i = klammer + 2;
    while (i < s.size()) {
        size_t j = s.find(' ', i);
        if (j == std::string::npos) j = s.size();
        felder.push_back(s.substr(i, j - i));
        i = j + 1;
    }
    if (felder.size() < 20) return -1;
    const double start = std::stod(felder[19]) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    timespec jetzt{};
    ::clock_gettime(CLOCK_BOOTTIME, &jetzt);
    return static_cast<double>(jetzt.tv_sec) + jetzt.tv_nsec / 1e9 - start;
}

double cpuSekunden() {
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
}

long spitzeKiB() {
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

struct Tick {
    int zeitgeber;
    double ms;
    int abschnitt;
    bool nachRuhe; // the first tick after the timer rested: no interval to the one before
};

class Malungen : public QObject {
public:
    double sekunden = -1;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && sekunden < 0) sekunden = sekundenSeitProzessstart();
        return QObject::eventFilter(o, e);
    }
};

// Sits between the program and its player and turns every background
// piece the game opens into the one chosen with --stück.
class Stückwahl : public qmb::Befehlsschnittstelle {
public:
    Stückwahl(std::unique_ptr<qmb::Befehlsschnittstelle> spieler, int stück)
        : spieler_(std::move(spieler)), stück_(stück) {}
    unsigned mciSendString(const std::string& befehl, std::string& antwort) override {
        std::string b = befehl;
        const size_t endung = b.find(".qmb");
        if (stück_ > 0 && b.rfind("open ", 0) == 0 && endung != std::string::npos && endung >= 5 &&
            b.compare(endung - 5, 4, "game") == 0)
            b[endung - 1] = static_cast<char>('0' + stück_);
        return spieler_->mciSendString(b, antwort);
    }

private:
    std::unique_ptr<qmb::Befehlsschnittstelle> spieler_;
    int stück_;
};

double perzentil(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())) - 1));
    return v[i];
}

} // namespace

int main(int argc, char** argv) {
    double spielSekunden = 60, leerlaufSekunden = 20;
    std::string tickDatei;
    int voll = 0, stück = 0;
    bool stumm = false, nurTakte = false, bahnen = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--voll"))
            voll = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--stumm"))
            stumm = std::atoi(argv[i + 1]) != 0;
        else if (!std::strcmp(argv[i], "--nur-takte"))
            nurTakte = std::atoi(argv[i + 1]) != 0;
        else if (!std::strcmp(argv[i], "--bahnen"))
            bahnen = std::atoi(argv[i + 1]) != 0;
        else if (!std::strcmp(argv[i], "--stück"))
            stück = std::clamp(std::atoi(argv[i + 1]), 0, 4);
        if (!std::strcmp(argv[i], "--spiel"))
            spielSekunden = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--leerlauf"))
            leerlaufSekunden = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--ticks"))
            tickDatei = argv[i + 1];
    }

    QApplication app(argc, argv);
    QTranslator deutsch;
    qmb::anwendungEinrichten(deutsch, QUAMBEL_VERSION);
    // The player is ours, not the program's default, so that its underruns can be read at the end.
    auto eigenerSpieler = std::make_unique<qmb::Befehlsspieler>(qmb::programmeinstellungen());
    qmb::Befehlsspieler& spieler = *eigenerSpieler;
    qmb::Programm programm(std::make_unique<Stückwahl>(std::move(eigenerSpieler), stück));
    qmb::frmMain& m = programm.modell();
    qmb::HauptFenster& fenster = programm.fenster();
    fenster.feld()->setFlüssig(!nurTakte);
    Malungen erste;
    fenster.feld()->installEventFilter(&erste);

    const Uhr::time_point null = Uhr::now();
    auto jetztMs = [&] { return std::chrono::duration<double, std::milli>(Uhr::now() - null).count(); };

    // ---- the tick log ------------------------------------------------------
    const std::vector<qmb::Zeitgeber*> zeitgeber{&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad};
    std::vector<Tick> ticks;
    ticks.reserve(200000);
    int abschnitt = 0;
    bool messen = false;
    // The pad's timer sleeps while no arrow is held (only the bot holds
    // them): its interval across a rest is no measure of its pace.
    bool padRuhte = false;
    // ---- the balls' drawn places against their ticks (--bahnen) ---------------
    // The frames of one interval of the balls' timer wait until the tick that
    // ends it has moved the model: then the way is known.
    struct Gezeichnet {
        QPointF ort;
        int32_t vx, vy; // the speed as the frame was drawn (a shot may change it)
    };
    using Intervall = std::map<int, std::vector<Gezeichnet>>; // ball → its frames
    Intervall laufend, wartend;
    std::map<int, QPointF> anfang, wartendAnfang; // each ball's place at the tick that opened the interval
    long neuBesetzt = 0, ballBilder = 0, abseits = 0, abseitsAmPad = 0, abseitsAnDerDecke = 0, abseitsAnDerWand = 0,
         zurück = 0, unsichtbar = 0;
    double weitestAbseits = 0;
    std::vector<bool> sichtbar(qmb::BALLPLÄTZE + 1);
    int sichtbarAbschnitt = -1;
    const double padOben = m.Pad.Top;
    auto pixel = [&](int i) {
        const double k = fenster.feld()->maßstab() / qmb::TWIPS_JE_PIXEL;
        return QPointF(m.Ball(i).Left * k, m.Ball(i).Top * k);
    };
    auto prüfen = [&](const Intervall& bilder, const std::map<int, QPointF>& von) {
        for (const auto& [i, folge] : bilder) {
            const auto a = von.find(i);
            if (a == von.end() || !m.BallDaten[static_cast<size_t>(i)].Aktiv) continue; // new, or gone meanwhile
            const QPointF p = a->second, q = pixel(i);
            // A ball lost at the tick whose place a new ball took in the same
            // tick (a catch's twin, five balls from a bonus): no way to check.
            const double k = fenster.feld()->maßstab() / qmb::TWIPS_JE_PIXEL;
            const Gezeichnet& erstes = folge.front();
            if (std::abs(q.x() - p.x()) > (std::abs(erstes.vx) + 60) * k ||
                std::abs(q.y() - p.y()) > (std::abs(erstes.vy) + 400) * k) {
                ++neuBesetzt;
                continue;
            }
            const QPointF weg = q - p;
            const double länge2 = QPointF::dotProduct(weg, weg);
            double vorher = -1;
            for (const Gezeichnet& g : folge) {
                ++ballBilder;
                // Outside the box the two places span, or behind the frame before.
                const double dx =
                    std::max({std::min(p.x(), q.x()) - g.ort.x(), g.ort.x() - std::max(p.x(), q.x()), 0.0});
                const double dy =
                    std::max({std::min(p.y(), q.y()) - g.ort.y(), g.ort.y() - std::max(p.y(), q.y()), 0.0});
                const double ab = std::hypot(dx, dy);
                if (ab > 1.0) {
                    // Where the next tick decided otherwise than the frame could
                    // know: at the pad (a catch in the tick of grace, or the pad
                    // moved between frame and tick), at the ceiling (the rules
                    // halve the speed there, the drawing mirrors it) or a wall.
                    const double k = fenster.feld()->maßstab() / qmb::TWIPS_JE_PIXEL;
                    const qmb::Form& b = m.Ball(i);
                    ++abseits;
                    if (std::max(p.y(), g.ort.y()) + b.Height * k > (padOben - 600) * k)
                        ++abseitsAmPad;
                    else if (std::min(p.y(), g.ort.y()) < (m.Oben.Y1 + 500) * k)
                        ++abseitsAnDerDecke;
                    else if (std::min(p.x(), g.ort.x()) < (m.Links.X1 + 400) * k ||
                             std::max(p.x(), g.ort.x()) + b.Width * k > (m.Rechts.X1 - 400) * k)
                        ++abseitsAnDerWand;
                    else if (std::getenv("BAHNEN_ZEIGEN"))
                        std::fprintf(stderr, "abseits %d: p %.1f,%.1f q %.1f,%.1f g %.1f,%.1f v %d,%d ab %.1f n %zu\n",
                                     i, p.x(), p.y(), q.x(), q.y(), g.ort.x(), g.ort.y(), g.vx, g.vy, ab, folge.size());
                    weitestAbseits = std::max(weitestAbseits, ab);
                }
                const double s = länge2 > 0 ? QPointF::dotProduct(g.ort - p, weg) / std::sqrt(länge2) : 0;
                if (vorher >= 0 && s < vorher - 0.5) {
                    ++zurück;
                    if (std::getenv("BAHNEN_ZEIGEN"))
                        std::fprintf(stderr, "zurück %d: p %.1f,%.1f q %.1f,%.1f g %.1f,%.1f\n", i, p.x(), p.y(), q.x(),
                                     q.y(), g.ort.x(), g.ort.y());
                }
                vorher = s;
            }
        }
    };
    // ---- the frames the playfield shows while a game runs --------------------
    std::vector<double> bildAbstände;
    double letztesBild = -1, bälleSumme = 0;
    int letzterAbschnitt = -1;
    fenster.feld()->gezeigt = [&] {
        if (!messen || !m.SpielLäuft || m.Pausiert || QApplication::activeModalWidget()) return;
        const double jetzt = jetztMs();
        if (letzterAbschnitt == abschnitt && letztesBild >= 0) {
            bildAbstände.push_back(jetzt - letztesBild);
            bälleSumme += m.Punkte;
        }
        letztesBild = jetzt;
        letzterAbschnitt = abschnitt;
        if (!bahnen) return;
        if (sichtbarAbschnitt != abschnitt) sichtbar.assign(sichtbar.size(), false); // a new game, or after a dialogue
        sichtbarAbschnitt = abschnitt;
        std::vector<bool> sichtbarJetzt(qmb::BALLPLÄTZE + 1);
        for (int i = 1; i <= qmb::BALLPLÄTZE; ++i)
            sichtbarJetzt[static_cast<size_t>(i)] = m.Ball.Existiert(i) && m.Ball(i).Visible;
        const std::vector<bool> sichtbarZuvor = std::exchange(sichtbar, sichtbarJetzt);
        for (int i = 1; i <= qmb::BALLPLÄTZE; ++i) {
            const qmb::Flugdaten& d = m.BallDaten[static_cast<size_t>(i)];
            if (!d.Aktiv || !m.Ball.Existiert(i)) continue;
            // Gone from the picture while in play, after it was shown (a
            // game's first ball is in play a moment before it is shown).
            if (!m.Ball(i).Visible && sichtbarZuvor[static_cast<size_t>(i)]) ++unsichtbar;
            if (laufend.find(i) == laufend.end()) anfang[i] = pixel(i);
            laufend[i].push_back({fenster.feld()->ballOrt(i).topLeft(), d.vx, d.vy});
        }
    };
    programm.zeitgeber().vorTick = [&](qmb::Zeitgeber& z) {
        if (bahnen && &z == &m.tmrBälle) {
            if (messen && m.SpielLäuft) prüfen(wartend, wartendAnfang);
            wartend = std::move(laufend);
            wartendAnfang = std::move(anfang);
            laufend.clear();
            anfang.clear();
        }
        if (!messen || !m.SpielLäuft) return;
        for (size_t i = 0; i < zeitgeber.size(); ++i)
            if (zeitgeber[i] == &z)
                ticks.push_back({static_cast<int>(i), jetztMs(), abschnitt, &z == &m.tmrPad && padRuhte});
        if (&z == &m.tmrPad) padRuhte = false;
    };

    // ---- the bot -------------------------------------------------------------
    std::mt19937 zufall(4711);
    int spiele = 0, höchstePunkte = 0, gehalten = 0;
    double ticksMitVielenBällen = 0, ticksImSpiel = 0;
    QTimer bot;
    bot.setTimerType(Qt::PreciseTimer);
    QObject::connect(&bot, &QTimer::timeout, [&] {
        if (QWidget* dlg = QApplication::activeModalWidget()) {
            ++abschnitt; // a dialogue holds the game: no interval across it
            if (auto* e = qobject_cast<QInputDialog*>(dlg)) {
                e->setTextValue(QStringLiteral("Bot"));
                e->accept();
            } else if (auto* b = qobject_cast<QMessageBox*>(dlg)) {
                if (b->defaultButton())
                    b->defaultButton()->click();
                else
                    b->accept();
            } else if (auto* d = qobject_cast<QDialog*>(dlg)) {
                d->accept();
            }
            return;
        }
        if (!messen) return;
        if (!m.SpielLäuft) {
            ++abschnitt;
            ++spiele;
            // Every other game by keyboard, so that the pad timer runs too.
            (spiele % 2 || voll ? fenster.optMaus : fenster.optTastatur)->click();
            fenster.mnuSpielStarten->trigger(); // as F2 does
            return;
        }
        ticksImSpiel += 1;
        höchstePunkte = std::max<int>(höchstePunkte, m.Punkte);
        if (m.Punkte >= 50) ticksMitVielenBällen += 1;
        if (voll > 0) {
            // New balls high up with random speeds; the pad waits at the side.
            for (int i = 1; i <= qmb::BALLPLÄTZE && m.Punkte < voll; ++i) {
                qmb::Flugdaten& f = m.BallDaten[static_cast<size_t>(i)];
                if (f.Aktiv || !m.Ball.Existiert(i)) continue;
                qmb::Form& b = m.Ball(i);
                b.Left = std::uniform_real_distribution<float>(m.Links.X1, m.Rechts.X1 - b.Width)(zufall);
                b.Top = std::uniform_real_distribution<float>(m.Oben.Y1, 3000)(zufall);
                f = {std::uniform_int_distribution<int>(-150, 150)(zufall),
                     std::uniform_int_distribution<int>(-300, 0)(zufall), -1};
                b.Visible = true;
                ++m.Punkte;
            }
            m.PunkteStandAktualisieren();
            if (m.optMaus.Value) {
                const QPointF p(30, 440);
                QMouseEvent bewegung(QEvent::MouseMove, p, fenster.feld()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                                     Qt::NoModifier);
                QApplication::sendEvent(fenster.feld(), &bewegung);
            }
            return;
        }
        // Under the lowest falling ball, a little off centre for the spread.
        float bestesTop = -1e9f, ziel = -1;
        for (int i = 1; i <= qmb::BALLPLÄTZE; ++i) {
            if (!m.BallDaten[static_cast<size_t>(i)].Aktiv || !m.Ball.Existiert(i)) continue;
            const qmb::Form& b = m.Ball(i);
            if (m.BallDaten[static_cast<size_t>(i)].vy > 0 && b.Top > bestesTop) {
                bestesTop = b.Top;
                ziel = b.Left + b.Width / 2;
            }
        }
        if (ziel < 0) return;
        ziel += std::uniform_real_distribution<float>(-400, 400)(zufall);
        if (m.optTastatur.Value) {
            // Arrow keys to the focused widget, as the keyboard sends them.
            const float mitte = m.Pad.Left + m.Pad.Width / 2;
            const int soll = ziel < mitte - 240 ? Qt::Key_Left : ziel > mitte + 240 ? Qt::Key_Right : 0;
            QWidget* fokus = QApplication::focusWidget() ? QApplication::focusWidget() : &fenster;
            if (gehalten != soll && gehalten) {
                QKeyEvent los(QEvent::KeyRelease, gehalten, Qt::NoModifier);
                QApplication::sendEvent(fokus, &los);
            }
            if (soll && gehalten != soll) {
                QKeyEvent drück(QEvent::KeyPress, soll, Qt::NoModifier);
                QApplication::sendEvent(fokus, &drück);
            }
            gehalten = soll;
            padRuhte = padRuhte || m.tmrPad.Ruhend();
            return;
        }
        const QPointF p(ziel / qmb::TWIPS_JE_PIXEL, 440);
        QMouseEvent bewegung(QEvent::MouseMove, p, fenster.feld()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(fenster.feld(), &bewegung);
        if (std::uniform_int_distribution<int>(0, 60)(zufall) == 0) {
            QMouseEvent drücken(QEvent::MouseButtonPress, p, fenster.feld()->mapToGlobal(p), Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(fenster.feld(), &drücken);
            QTimer::singleShot(200, [&fenster, p] {
                QMouseEvent los(QEvent::MouseButtonRelease, p, fenster.feld()->mapToGlobal(p), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(fenster.feld(), &los);
            });
        }
    });

    // ---- the course: start, settle, panel, play -------------------------------
    programm.starten();
    if (stumm && m.mnuMusik.Checked) fenster.mnuMusik->trigger();
    double leerCpu = 0, spielCpu = 0, spielWand = 0;
    QTimer::singleShot(3000, [&] { // the SoundFont has loaded, the first piece plays
        const double cpu0 = cpuSekunden();
        const auto t0 = Uhr::now();
        QTimer::singleShot(static_cast<int>(leerlaufSekunden * 1000), [&, cpu0, t0] {
            leerCpu = (cpuSekunden() - cpu0) / std::chrono::duration<double>(Uhr::now() - t0).count();
            messen = true;
            // The bot plays from here on; in the panel it would only wake
            // the program 67 times a second for nothing, which no player
            // does, and the panel's figure would be the bot's.
            bot.start(15);
            const double cpu1 = cpuSekunden();
            const auto t1 = Uhr::now();
            QTimer::singleShot(static_cast<int>(spielSekunden * 1000), [&, cpu1, t1] {
                spielWand = std::chrono::duration<double>(Uhr::now() - t1).count();
                spielCpu = (cpuSekunden() - cpu1) / spielWand;
                messen = false;
                QTimer::singleShot(0, [&] { QApplication::exit(0); });
            });
        });
    });
    app.exec();
    bot.stop();

    // ---- the report -----------------------------------------------------------
    const double nenn[] = {40, 40, 30, 15};
    std::printf("| Messung | Wert | Ziel |\n| --- | --- | --- |\n");
    std::printf("| Start bis zum ersten gemalten Bild | %.0f ms | < 300 ms |\n", erste.sekunden * 1000);
    std::vector<std::vector<double>> abstände(zeitgeber.size());
    std::vector<const Tick*> letzter(zeitgeber.size(), nullptr);
    std::vector<double> nachRuhe;
    std::ofstream csv;
    if (!tickDatei.empty()) {
        csv.open(tickDatei);
        csv << "zeitgeber,ms,abschnitt\n";
    }
    for (const Tick& t : ticks) {
        if (csv)
            csv << zeitgeber[static_cast<size_t>(t.zeitgeber)]->Name() << ',' << t.ms << ',' << t.abschnitt << '\n';
        const Tick*& l = letzter[static_cast<size_t>(t.zeitgeber)];
        if (l && l->abschnitt == t.abschnitt) {
            const double x = t.ms - l->ms, n = nenn[static_cast<size_t>(t.zeitgeber)];
            // Across a rest the pad's timer keeps its beat: a whole number of intervals.
            if (t.nachRuhe)
                nachRuhe.push_back(std::abs(x - std::round(x / n) * n));
            else
                abstände[static_cast<size_t>(t.zeitgeber)].push_back(x);
        }
        l = &t;
    }
    for (size_t i = 0; i < zeitgeber.size(); ++i) {
        const auto& a = abstände[i];
        double summe = 0;
        std::vector<double> abweichung;
        for (double x : a) {
            summe += x;
            abweichung.push_back(std::abs(x - nenn[i]));
        }
        const double mittel = a.empty() ? 0 : summe / static_cast<double>(a.size());
        std::printf("| %s: Abstand im Mittel / 99. Perzentil der Abweichung (%zu Abstände) | %.2f ms / %.2f ms | %.0f "
                    "± 0,5 ms / < 4 ms |\n",
                    zeitgeber[i]->Name().c_str(), a.size(), mittel, perzentil(abweichung, 0.99), nenn[i]);
    }
    std::printf("| tmrPad nach einer Ruhe: 99. Perzentil der Abweichung vom Schlag (%zu Male) | %.2f ms | < 4 ms |\n",
                nachRuhe.size(), perzentil(nachRuhe, 0.99));
    {
        double summe = 0;
        for (double x : bildAbstände) summe += x;
        const double n = static_cast<double>(bildAbstände.size());
        std::printf("| Bilder im Spiel (%s, im Mittel %.0f Bälle): Abstand im Mittel / 99. Perzentil (%zu Abstände) | "
                    "%.2f ms / %.2f ms | 16,7 ms bei 60 Hz |\n",
                    nurTakte ? "nur zu den Takten" : "flüssig", n > 0 ? bälleSumme / n : 0, bildAbstände.size(),
                    n > 0 ? summe / n : 0, perzentil(bildAbstände, 0.99));
    }
    std::printf("| CPU im Spiel, Musik %s (%.0f s, %d Spiele, höchstens %d Bälle, %.0f %% der Zeit ≥ 50 Bälle) | %.1f "
                "%% eines Kerns | < 5 %% |\n",
                stumm ? "aus" : "an", spielWand, spiele, höchstePunkte,
                ticksImSpiel > 0 ? 100 * ticksMitVielenBällen / ticksImSpiel : 0, spielCpu * 100);
    std::printf("| CPU im Einstellungsfeld, Musik %s (%.0f s) | %.1f %% eines Kerns | < 2 %% |\n", stumm ? "aus" : "an",
                leerlaufSekunden, leerCpu * 100);
    if (bahnen)
        std::printf(
            "| Bahnen: Ballbilder / abseits der Bahn (davon am Pad, an der Decke, an einer Wand; weitestes) / "
            "zurück / unsichtbar im Spiel (Plätze im Takt neu besetzt) | %ld / %ld (%ld, %ld, %ld; %.1f px) / %ld / "
            "%ld (%ld) | 0 |\n",
            ballBilder, abseits, abseitsAmPad, abseitsAnDerDecke, abseitsAnDerWand, weitestAbseits, zurück, unsichtbar,
            neuBesetzt);
    std::printf("| Spitze des belegten Speichers (RSS) | %.1f MB | < 80 MB |\n", spitzeKiB() / 1024.0);
    std::printf("| Aussetzer der Tonausgabe (leerer Vorrat, während Musik klang) | %ld | 0 |\n", spieler.unterläufe());
    std::fflush(stdout);
    // Leave through the window's own close, so that the music files go too.
    fenster.close();
    return 0;
}
