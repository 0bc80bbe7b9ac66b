#pragma once

class QWidget;

namespace mw {

// Asks the window manager for a caption without buttons to minimise or maximise the window:
// the tool windows and the About box are neither minimised nor maximised on their own.
void AskForCaptionOnly(QWidget* window);

}  // namespace mw
