// The two guns at the ends of the pad and the shots in flight, every 30 ms.
// While fire is held and ammunition lasts, a shot leaves on the first tick
// and then on every seventh, alternately from the left and the right gun.
#include "game/Regeln.h"
#include "game/Vorhersage.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"

namespace qmb {

Flugbahn schussFlug(const frmMain& m, int i) {
    const Form& s = m.Schuss(i);
    // Straight up, whatever the walls; the ceiling ends a shot.
    return {{s.Left, s.Top, s.Width, s.Height, 0.0, -double(SCHUSS_SCHRITT), 0.0},
            {-1e9f, 1e9f, m.Oben.Y1, Spielraum::Decke::Anhalten}};
}

int16_t frmMain::GetFreeSchussNumber() const {
    int16_t k = 1;
    for (int s = Schuss.nächster(0); s != -1; s = Schuss.nächster(s)) {
        if (s != k) break;
        ++k;
    }
    return k;
}

void frmMain::tmrSchüsse_Timer() {
    const uint32_t nummer = spielnummer_;

    if (Schießen && Munition != 0) {
        SchussTakt = plus16(SchussTakt, 1);
        if (SchussTakt == 1) {
            const int16_t n = GetFreeSchussNumber();
            Schuss.Load(n);
            Form& s = Schuss(n);
            s.Top = einfach(static_cast<double>(Pad.Top) - s.Height);
            if (RechtesGewehr)
                s.Left = einfach(static_cast<double>(Pad.Left) + Pad.Width - s.Width);
            else
                s.Left = Pad.Left;
            s.Visible = true;
            Munition = plus16(Munition, -1);
            RechtesGewehr = !RechtesGewehr;
            PunkteStandAktualisieren();
            if (spielnummer_ != nummer) return;
        }
        if (SchussTakt == 7) SchussTakt = 0;
    }

    for (int n = Schuss.nächster(0); n != -1; n = Schuss.nächster(n)) {
        Form& s = Schuss(n);
        s.Top = einfach(static_cast<double>(s.Top) - SCHUSS_SCHRITT);

        int getroffen = 0;
        for (int i = 1; i <= BALLPLÄTZE; ++i) {
            if (BallDaten[static_cast<size_t>(i)].Aktiv == 0) continue;
            const Form& b = Ball(i);
            if (einfach(static_cast<double>(b.Top) + b.Height) > s.Top &&
                einfach(static_cast<double>(s.Top) + s.Height) > b.Top &&
                einfach(static_cast<double>(b.Left) + b.Width) > s.Left &&
                einfach(static_cast<double>(s.Left) + s.Width) > b.Left) {
                getroffen = i;
                break;
            }
        }

        if (getroffen != 0) {
            const int16_t z = GetFreeBallNumber();
            if (z == 0) return; // no slot for the twin: the shot waits where it is
            const Flugdaten& alt = BallDaten[static_cast<size_t>(getroffen)];
            Flugdaten& neu = BallDaten[static_cast<size_t>(z)];
            Ball(z).Top = Ball(getroffen).Top;
            Ball(z).Left = Ball(getroffen).Left;
            neu.Aktiv = WAHR;
            neu.vx = minus32(alt.vx);
            neu.vy = alt.vy;
            Ball(z).Visible = true;
            Punkte = plus16(Punkte, 1);
            if (Rekord < Punkte) Rekord = Punkte;
            PunkteStandAktualisieren();
            // A division that wins has ended the game and removed every shot.
            if (spielnummer_ != nummer) return;
            Schuss.Unload(n);
        } else if (s.Top < Oben.Y1) {
            Schuss.Unload(n);
        }
    }
}

} // namespace qmb
