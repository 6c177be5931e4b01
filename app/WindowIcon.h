#pragma once

#include <QIcon>

// The program's icon in every size the desktop uses, compiled in, so that a
// window shows it wherever the program runs from.
QIcon WindowIcon();
