// A game from start to end: SpielStarten puts the first ball in, SpielEnde
// clears the field. Both let pending events run at fixed points; what may
// come in there (Esc right after F2, a second click on the start button, the
// window being closed) is guarded so that the game is never left half started
// or half ended.
#include "game/frmMain.h"

#include "game/Regeln.h"
#include "platform/Zahlen.h"
#include "sound/modSound.h"

namespace qmb {

frmMain::frmMain(Dienste dienste, modSound& s, Bestenliste& l) : d(dienste), sound(s), liste(l) {
    tmrBälle.setTick([this] { tmrBälle_Timer(); });
    tmrBonusse.setTick([this] { tmrBonusse_Timer(); });
    tmrSchüsse.setTick([this] { tmrSchüsse_Timer(); });
    tmrPad.setTick([this] { tmrPad_Timer(); });
    tmrRand.setTick([this] { tmrRand_Timer(); });
}

void frmMain::PadZurücksetzen() {
    const double mitte = (Rechts.X1 - Links.X1) / 2.0 + Links.X1 - Pad.Width / 2.0;
    Pad.Left = static_cast<float>(PAD_SCHRITT * nearest16(mitte / PAD_SCHRITT));
}

void frmMain::SpielStarten() {
    // One start at a time, never while a game runs or ends, never on a closed
    // window: a start button clicked during one of the event pumps below
    // would otherwise run a second start inside the first.
    if (SpielLäuft || (phase_ != Phase::Neu && phase_ != Phase::Geladen)) return;
    const Phase vorher = phase_;
    phase_ = Phase::Startet;
    const uint32_t nummer = ++spielnummer_;
    auto fertig = [&] {
        if (phase_ == Phase::Startet) phase_ = vorher;
    };
    // Esc or a closed window during one of the pumps ends this start.
    auto vorbei = [&] {
        if (spielnummer_ == nummer && !Entladen()) return false;
        fertig();
        return true;
    };

    d.zufall.Randomize(d.uhr.Timer());
    Ball(1).Left = static_cast<float>(nearest32((Rechts.X1 - Links.X1) / 2.0 + Links.X1 - Ball(1).Width / 2.0));
    BallDaten[1].vy = 0;
    BallDaten[1].vx = nearest32(static_cast<double>(d.zufall.Rnd()) * 241.0 - 120.0);
    Ball(1).Top = einfach(static_cast<double>(Oben.Y1) + 360.0);
    BallDaten[1].Aktiv = WAHR;
    d.fenster.DoEvents();
    if (vorbei()) return;

    tmrRand.setEnabled(true);
    SpielLäuft = true;
    PadLenken(0);
    fraSpielEinstellungen.Visible = false;
    d.fenster.DoEvents();
    if (vorbei()) return;

    Punkte = 1;
    Rekord = 1;
    Munition = 100;
    PunkteStandAktualisieren();
    MousePointer = vbCustom;
    PadZurücksetzen();
    if (chkMaus.Value == 1) MausEinsperren(true);
    d.fenster.DoEvents();
    if (vorbei()) return;

    Ball(1).Visible = true;
    tmrBälle.setEnabled(true);
    tmrBonusse.setEnabled(true);
    tmrSchüsse.setEnabled(true);
    mnuSpielStarten.Visible = false;
    mnuSpielbeenden.Visible = true;
    Schießen = false;
    SchussTakt = 0;
    if (optTastatur.Value) tmrPad.setEnabled(true);
    Pad.Visible = true;
    RechtesGewehr = false;
    Pausiert = false;
    mnuPause.Enabled = true;
    mnuPause.Checked = false;
    Caption = TITEL_SPIEL;
    fertig();
}

void frmMain::SpielEnde() {
    // A second end while this one lets events in (F3 is still visible until
    // the menus are switched below) has nothing left to do.
    if (phase_ == Phase::Endet) return;
    const Phase vorher = phase_;
    if (!Entladen()) phase_ = Phase::Endet;
    ++spielnummer_;

    if (chkMaus.Value == 1) MausEinsperren(false);
    tmrPad.setEnabled(false);
    fraSpielEinstellungen.Visible = true;
    tmrBälle.setEnabled(false);
    tmrRand.setEnabled(false);
    PadLenken(0);
    SpielLäuft = false;
    lblPunkte.Caption.clear();
    MousePointer = vbArrow;
    tmrBonusse.setEnabled(false);
    tmrSchüsse.setEnabled(false);
    d.fenster.DoEvents();

    Punkte = 0;
    for (int i = 1; i <= BALLPLÄTZE; ++i) {
        BallDaten[static_cast<size_t>(i)] = LeerDaten;
        Ball(i).Top = 0;
        Ball(i).Left = 0;
        Ball(i).Visible = false;
    }
    for (int i = 1; i <= BONUSPLÄTZE; ++i) {
        BonusDaten[static_cast<size_t>(i)] = LeerDaten;
        Bonus(i).Top = 0;
        Bonus(i).Left = 0;
        Bonus(i).Visible = false;
    }
    for (int s = Schuss.nächster(0); s != -1; s = Schuss.nächster(s)) Schuss.Unload(s);
    d.fenster.DoEvents();

    Pad.Visible = false;
    Pad.FillColor = BLAU;
    Pad.BorderColor = BLAU;
    PowerPad = false;
    Munition = 0;
    Schießen = false;
    SchussTakt = 0;
    RechtesGewehr = false;
    mnuSpielbeenden.Visible = false;
    mnuSpielStarten.Visible = true;
    Pausiert = false;
    mnuPause.Enabled = false;
    mnuPause.Checked = false;
    Caption = TITEL_START;
    if (phase_ == Phase::Endet) phase_ = vorher;
}

} // namespace qmb
