#pragma once
// What every Quambel process sets up on its QApplication before the first
// window: names, icon, German standard buttons, the fonts of the layout.
// main() calls it; so do the measuring harnesses, to start as the game does.
#include <QTranslator>

namespace qmb {

// `deutsch` receives Qt's own German translation and must outlive the app.
void anwendungEinrichten(QTranslator& deutsch, const char* version);

} // namespace qmb
