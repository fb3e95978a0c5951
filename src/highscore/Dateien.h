#pragma once
// Existence tests for files and folders, used by the high-score list and the
// music files. They never fail: any error of the query means "not there".
#include <string>

namespace qmb {

// True when a normal file (or a link to one) of that name exists. Folders,
// devices and pipes do not count. Linux has no hidden or system attribute,
// so dot files count like any other file.
bool DateiExistiert(const std::string& Pfad);

// True when a folder of that name exists; a normal file of that name also
// answers True (the name is taken either way).
bool OrdnerExistiert(const std::string& Pfad);

} // namespace qmb
