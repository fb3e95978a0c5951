// Bonus pictures: they turn up at random at the top wall, fall, bounce off
// the side walls and take effect when the pad catches them: 50 shots, five
// balls, or two further bonuses thrown up from where this one was caught.
#include <charconv>

#include "game/Regeln.h"
#include "game/Vorhersage.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"

namespace qmb {

namespace {
Motiv motivFür(int16_t typ) {
    switch (typ) {
    case 0: return Motiv::BonusseBonus;
    case 1: return Motiv::BonusMitBall;
    case 2: return Motiv::BonusMuni;
    default: return Motiv::Keins;
    }
}

// The kind stored in a picture's Tag, as a number; anything else is no kind.
int16_t artAus(const std::string& tag) {
    double wert = 0;
    const auto [ende, fehler] = std::from_chars(tag.data(), tag.data() + tag.size(), wert);
    if (fehler != std::errc() || ende != tag.data() + tag.size()) return -1;
    return nearest16(wert);
}
} // namespace

Flugbahn bonusFlug(const frmMain& m, int i) {
    const Bild& b = m.Bonus(i);
    const Flugdaten& f = m.BonusDaten[static_cast<size_t>(i)];
    // Bonuses know no ceiling: thrown up, they may rise past it. The pad
    // catches them by any overlap.
    return {{b.Left, b.Top, b.Width, b.Height, double(f.vx), double(f.vy), double(SCHWERKRAFT_BONUS)},
            {m.Links.X1, m.Rechts.X1, m.Oben.Y1, Spielraum::Decke::Keine, m.Pad.Left, m.Pad.Left + m.Pad.Width,
             m.Pad.Top, Spielraum::Pad::Überlappung}};
}

int16_t frmMain::GetFreeBonusNumber() const {
    for (int16_t i = 1; i <= BONUSPLÄTZE; ++i)
        if (BonusDaten[static_cast<size_t>(i)].Aktiv == 0) return i;
    return 0;
}

void frmMain::setzePosition(Bild& b, const Position& p) {
    b.Left = p.X;
    b.Top = p.Y;
}

void frmMain::BonusErstellen(int16_t Typ, int32_t PosY, int32_t PosX, int16_t vx, int32_t vy) {
    const int16_t n = GetFreeBonusNumber();
    if (n == 0) return;
    if (!SpielLäuft) return;

    if (PosY == 0 && PosX == 0) {
        PosY = nearest32(Oben.Y1);
        const double r = d.zufall.Rnd();
        PosX =
            nearest16(static_cast<double>(Links.X1) + r * (static_cast<double>(Rechts.X1) - Links.X1 - Bonus(0).Width));
    }
    if (vx == 0 && vy < 0) {
        vx = nearest16(static_cast<double>(d.zufall.Rnd()) * 240.0 - 120.0);
    } else if (vx == 0 && vy == 0) {
        vx = nearest16(static_cast<double>(d.zufall.Rnd()) * 240.0 - 120.0);
        vy = nearest16(static_cast<double>(d.zufall.Rnd()) * 40.0);
    }
    if (Typ == -1) {
        const double r = d.zufall.Rnd();
        Typ = nearest16(r + r);
    } else if (Typ == -2) {
        Typ = nearest16(static_cast<double>(d.zufall.Rnd()) + 1.0);
    }

    Bild& b = Bonus(n);
    Flugdaten& f = BonusDaten[static_cast<size_t>(n)];
    b.Top = static_cast<float>(PosY);
    b.Left = static_cast<float>(PosX);
    f.Aktiv = WAHR;
    f.vx = vx;
    f.vy = vy;
    b.Tag = std::to_string(Typ);
    b.Picture = motivFür(Typ);
    b.Visible = true;
    lblPunkte.ZOrder(1);
}

void frmMain::tmrBonusse_Timer() {
    const uint32_t nummer = spielnummer_;

    const float r = d.zufall.Rnd();
    const int n = Punkte > 6 ? 450 : 370;
    if (nearest16(einfach(static_cast<double>(r) * n)) == 369) BonusErstellen(-1, 0, 0, 0, 0);

    for (int i = 1; i <= BONUSPLÄTZE; ++i) {
        Flugdaten& f = BonusDaten[static_cast<size_t>(i)];
        if (f.Aktiv == 0) continue;
        Bild& b = Bonus(i);

        f.vy = plus32(f.vy, SCHWERKRAFT_BONUS);
        // Now and then a bonus would be marked to change its sideways speed;
        // it keeps it, but the draw stays so that the sequence of draws does.
        (void)nearest16(static_cast<double>(d.zufall.Rnd()) * 200.0);
        b.Top = einfach(static_cast<double>(b.Top) + f.vy);
        b.Left = einfach(static_cast<double>(b.Left) + f.vx);

        const float unterkante = einfach(static_cast<double>(b.Top) + b.Height);
        const bool gefangen = unterkante > Pad.Top && einfach(static_cast<double>(Pad.Left) + Pad.Width) > b.Left &&
                              einfach(static_cast<double>(b.Left) + b.Width) > Pad.Left;
        bool frei = false;
        if (gefangen) {
            switch (artAus(b.Tag)) {
            case 2:
                Munition = plus16(Munition, 50);
                PunkteStandAktualisieren();
                break;
            case 1:
                for (int k = 0; k < 5; ++k) {
                    const int16_t z = GetFreeBallNumber();
                    if (z == 0) {
                        SpielGewonnen();
                        return;
                    }
                    Form& ball = Ball(z);
                    Flugdaten& bd = BallDaten[static_cast<size_t>(z)];
                    ball.Top = einfach(static_cast<double>(Pad.Top) - ball.Height - 120.0);
                    ball.Left = b.Left;
                    bd.Aktiv = WAHR;
                    bd.vy = nearest16(static_cast<double>(d.zufall.Rnd()) * 360.0 - 720.0);
                    bd.vx = nearest16(static_cast<double>(d.zufall.Rnd()) * 240.0 - 120.0);
                    ball.Visible = true;
                }
                lblPunkte.ZOrder(1);
                Punkte = plus16(Punkte, 5);
                if (Punkte > Rekord) Rekord = Punkte;
                PunkteStandAktualisieren();
                break;
            case 0:
                for (int k = 0; k < 2; ++k) {
                    const int16_t u = nearest16(static_cast<double>(d.zufall.Rnd()) * 250.0 + 250.0);
                    BonusErstellen(-2, nearest32(static_cast<double>(b.Top) - 240.0), nearest32(b.Left), 0,
                                   -static_cast<int32_t>(u));
                }
                break;
            default: break;
            }
            // The five balls may have made it 100: the game is won and cleared.
            if (spielnummer_ != nummer) return;
            frei = true;
        } else if (unterkante > Pad.Top && einfach(static_cast<double>(Pad.Top) + Pad.Height) < unterkante) {
            frei = true;
        }

        if (frei) {
            setzePosition(b, Parkposition);
            f = LeerDaten;
            b.Visible = false;
            continue;
        }

        if (einfach(static_cast<double>(b.Left) + f.vx) < Links.X1) {
            f.vx = minus32(f.vx);
            b.Left = einfach(2.0 * Links.X1 - b.Left + f.vx);
        }
        if (einfach(static_cast<double>(b.Width) + b.Left + f.vx) > Rechts.X1) {
            b.Left = einfach(2.0 * (static_cast<double>(Rechts.X1) - b.Width) - b.Left - f.vx);
            f.vx = minus32(f.vx);
        }
    }
}

} // namespace qmb
