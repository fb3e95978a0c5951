#pragma once
// The drawables of a window: shapes, lines, pictures and a text label. They are
// the one place where positions live (single-precision twips); the game reads
// them back on every tick and the view paints straight from them.
#include <cstdint>
#include <string>
#include <vector>

namespace qmb {

using Farbe = uint32_t; // 0xRRGGBB
inline constexpr Farbe ROT = 0xFF0000;
inline constexpr Farbe BLAU = 0x0000FF;
inline constexpr Farbe SCHWARZ = 0x000000;

enum class Umriss : uint8_t { Rechteck, Quadrat, Kreis, AbgerundetesRechteck };

struct Form { // a shape: circle, rounded rectangle, square
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = false;
    Umriss Shape = Umriss::Rechteck;
    Farbe FillColor = SCHWARZ;
    Farbe BorderColor = SCHWARZ;
    bool operator==(const Form&) const = default;
};

struct Linie {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Visible = true;
    Farbe BorderColor = SCHWARZ;
    bool operator==(const Linie&) const = default;
};

// The three bonus pictures; the image shown by a picture drawable.
enum class Motiv : int8_t { Keins = -1, BonusseBonus = 0, BonusMitBall = 1, BonusMuni = 2 };

struct Bild { // a picture, shown stretched to its size
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = false;
    Motiv Picture = Motiv::Keins;
    std::string Tag;
    bool operator==(const Bild&) const = default;
};

struct Beschriftung { // a text label
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    std::string Caption; // UTF-8, lines separated by CR LF
    // The label is drawn above the other drawables until it is sent to the
    // back of the drawing order (ZOrder 1); then balls and bonuses pass over it.
    bool Hinten = false;
    bool operator==(const Beschriftung&) const = default;
    void ZOrder(int position) { Hinten = (position == 1); }
};

// An indexed set of drawables (a control array). Element 0 is the hidden
// template; loading element i copies it, hidden. Elements other than 0 can be
// unloaded. Walking in ascending order stays valid while elements are unloaded
// (iterate with `nächster`).
template <typename T>
class Steuerelementfeld {
public:
    explicit Steuerelementfeld(T vorlage) {
        vorlage.Visible = false;
        elemente_.push_back(vorlage);
        geladen_.push_back(1);
    }

    bool Existiert(int i) const { return i >= 0 && i < static_cast<int>(geladen_.size()) && geladen_[i]; }
    T& operator()(int i) { return elemente_[static_cast<size_t>(i)]; }
    const T& operator()(int i) const { return elemente_[static_cast<size_t>(i)]; }

    // Load element i as a hidden copy of the template. Loading an element that
    // exists is refused (returns false), as is a negative index.
    bool Load(int i) {
        if (i <= 0 || Existiert(i)) return false;
        if (i >= static_cast<int>(elemente_.size())) {
            elemente_.resize(static_cast<size_t>(i) + 1);
            geladen_.resize(static_cast<size_t>(i) + 1, 0);
        }
        elemente_[static_cast<size_t>(i)] = elemente_[0];
        elemente_[static_cast<size_t>(i)].Visible = false;
        geladen_[static_cast<size_t>(i)] = 1;
        ++anzahl_;
        return true;
    }
    // Unload element i (never the template).
    void Unload(int i) {
        if (i <= 0 || !Existiert(i)) return;
        geladen_[static_cast<size_t>(i)] = 0;
        --anzahl_;
        while (elemente_.size() > 1 && !geladen_.back()) {
            elemente_.pop_back();
            geladen_.pop_back();
        }
    }
    // The lowest existing index greater than i, or -1.
    int nächster(int i) const {
        for (int k = i + 1; k < static_cast<int>(geladen_.size()); ++k)
            if (geladen_[static_cast<size_t>(k)]) return k;
        return -1;
    }
    // Number of elements besides the template.
    int Anzahl() const { return anzahl_; }
    // One past the highest index that was ever loaded and is still in use.
    int Grenze() const { return static_cast<int>(elemente_.size()); }

private:
    std::vector<T> elemente_;
    std::vector<uint8_t> geladen_;
    int anzahl_ = 0;
};

} // namespace qmb
