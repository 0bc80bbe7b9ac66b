// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace mw {

// Screen readers. The palette and the info view paint themselves, so Qt cannot tell what they
// show; the interfaces installed here tell it cell by cell, in the words of the palette's tooltip
// and of the info view's columns. Installed once, before the windows are made.
void InstallAccessibleInterfaces();

// The info view's figures changed: a screen reader that follows it reads the new ones.
void AnnounceInfoViewFigures(QWidget* infoView);

}  // namespace mw
