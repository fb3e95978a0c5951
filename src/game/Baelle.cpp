// The ball timer: gravity, the pad, the ceiling and the side walls, every
// 40 ms. A ball the pad catches bounces up and divides; a ball beside the pad
// is lost. Positions are read from the drawables afresh at every step.
#include "game/Regeln.h"
#include "game/Vorhersage.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"

namespace qmb {

Flugbahn ballFlug(const frmMain& m, int i) {
    const Form& b = m.Ball(i);
    const Flugdaten& f = m.BallDaten[static_cast<size_t>(i)];
    // Walls and ceiling mirror a ball; the pad holds it by its centre.
    return {{b.Left, b.Top, b.Width, b.Height, double(f.vx), double(f.vy), double(SCHWERKRAFT_BALL)},
            {m.Links.X1, m.Rechts.X1, m.Oben.Y1, Spielraum::Decke::Spiegeln, m.Pad.Left, m.Pad.Left + m.Pad.Width,
             m.Pad.Top, Spielraum::Pad::Mitte}};
}

int16_t frmMain::GetFreeBallNumber() const {
    for (int16_t i = 1; i <= BALLPLÄTZE; ++i)
        if (BallDaten[static_cast<size_t>(i)].Aktiv == 0) return i;
    return 0;
}

void frmMain::tmrBälle_Timer() {
    const uint32_t nummer = spielnummer_;
    for (int i = 1; i <= BALLPLÄTZE; ++i) {
        Flugdaten& f = BallDaten[static_cast<size_t>(i)];
        if (f.Aktiv == 0) continue;
        Form& b = Ball(i);

        f.vy = plus32(f.vy, SCHWERKRAFT_BALL);
        const double T = b.Top, L = b.Left, W = b.Width, H = b.Height;
        const double PT = Pad.Top, PL = Pad.Left, PW = Pad.Width;
        const float mitte = einfach(L + W / 2.0);
        const bool gefangen = einfach(T + H + f.vy) > Pad.Top && mitte > Pad.Left && einfach(PL + PW) > mitte;

        if (gefangen) {
            // Mirror the step at the pad's top edge.
            b.Top = einfach((PT - H) - (f.vy - (PT - (H + T))));
            const int32_t k = nearest32(static_cast<double>(d.zufall.Rnd()) * 70.0 - 15.0);
            const int32_t faktor = PowerPad ? -2 : 1;
            f.vy = nearest32(-static_cast<double>(f.vy) + static_cast<double>(faktor) * k);
            if (f.vy > -290) f.vy = -nearest32(250.0 + static_cast<double>(d.zufall.Rnd()) * 100.0);
            // Steering by where the ball struck the pad.
            const double versatz =
                (static_cast<double>(b.Left) + b.Width / 2.0) - (static_cast<double>(Pad.Left) + Pad.Width / 2.0);
            f.vx = nearest32(static_cast<double>(f.vx) + versatz / 5.0);

            const int16_t n = GetFreeBallNumber();
            if (n == 0) {
                SpielGewonnen();
                return;
            }
            Flugdaten& z = BallDaten[static_cast<size_t>(n)];
            Ball(n).Top = b.Top;
            Ball(n).Left = b.Left;
            z.vx = minus32(f.vx);
            z.vy = f.vy;
            Ball(n).Visible = true;
            z.Aktiv = WAHR;
            lblPunkte.ZOrder(1);
            Punkte = plus16(Punkte, 1);
            if (Punkte > Rekord) Rekord = Punkte;
            PunkteStandAktualisieren();
            // The 100th ball has won and cleared the field: this tick is over.
            if (spielnummer_ != nummer) return;
        } else if (einfach(T + H) > Pad.Top) {
            b.Top = 0;
            b.Left = 0;
            f = LeerDaten;
            b.Visible = false;
            Punkte = plus16(Punkte, -1);
            PunkteStandAktualisieren();
            if (spielnummer_ != nummer) return;
            if (Punkte == 0) {
                SpielVerloren();
                return;
            }
            continue;
        } else {
            if (einfach(T + f.vy) < Oben.Y1 && f.vy < 0) {
                f.vy = nearest32(-static_cast<double>(f.vy) / 2.0);
                b.Top = einfach(f.vy - (T - Oben.Y1) + Oben.Y1);
            }
            b.Top = einfach(static_cast<double>(b.Top) + f.vy);
            b.Left = einfach(L + f.vx);
        }

        // One wall per tick, looking one step ahead.
        const double L2 = b.Left, W2 = b.Width;
        if (einfach(L2 + f.vx) < Links.X1) {
            f.vx = minus32(f.vx);
            b.Left = einfach(f.vx - (L2 - Links.X1) + Links.X1);
        } else if (einfach(W2 + L2 + f.vx) > Rechts.X1) {
            b.Left = einfach((Rechts.X1 - W2) - (f.vx - (Rechts.X1 - (W2 + L2))));
            f.vx = minus32(f.vx);
        }
    }
}

} // namespace qmb
