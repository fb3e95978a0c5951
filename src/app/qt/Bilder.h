#pragma once
// The pictures of bilder.qrc sit in a static library, whose resource
// initialiser the linker would drop unless something names it. Call this
// before the first ":/bilder/..." is opened; calling it again is harmless.
// It lives outside any namespace because Qt's macro declares the
// initialiser in the namespace where it is used.
void bilderEinbinden();
