#pragma once
/// Small window operations the shell shares.
class QWidget;

namespace shell {

/// Centres a top-level window on the screen it is on (the primary screen before it was shown).
void CenterWindow(QWidget* window);
/// Shows a top-level window in its default state, in front.
void ShowInFront(QWidget* window);

} // namespace shell
