#include "ui/Toolkit.h"

namespace ui {

#ifdef QUELMAR_UI_WIZARD
bool IsWizardToolkit()
{
    return true;
}
std::size_t TranslationBufferSize()
{
    return 256;
}
#else
bool IsWizardToolkit()
{
    return false;
}
std::size_t TranslationBufferSize()
{
    return 512;
}
#endif

} // namespace ui
