#pragma once
/// The page base of every page and dialog of the utility: creates the controls of its
/// dialog template, lays them out again in "Tahoma" at 96 dots per inch from the template's
/// dialog units, paints the page white and gives its controls their background colours.

#include "platform/Types.h"
#include "ui/Colour.h"
#include "ui/DialogTemplate.h"
#include "ui/MultiLanguage.h"

#include <QBrush>
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

namespace ui {

/// The control id of a child window; IDC_STATIC for a child that has none.
int GetDlgCtrlID(const QWidget* control);
void SetDlgCtrlID(QWidget* control, int id);

/// Pixel height of the page font for a template point size at 96 dots per inch
/// (point sizes of 0x8000 and above are the negation of their 16-bit complement).
int TemplateFontPixelHeight(std::uint16_t pointSize);

/// The character height of a font's text metrics: its Windows ascent plus descent in pixels.
int TextMetricsHeight(const QFont& font);

/// Dialog base units of a font: X = (width of the 52 letters / 26 + 1) / 2, Y = the
/// character height of its text metrics.
QSize MeasureBaseUnits(const QFont& font);

/// A rectangle in dialog units in pixels, for base units `units`.
QRect MapDialogRect(int x, int y, int cx, int cy, QSize units);

/// The main window's three check boxes, drawn on the skin's accent colour.
constexpr int kAccentCheckBoxIds[] = {1089, 1090, 1091};
constexpr COLORREF kAccentCheckBoxColour = 0x2468F0;

} // namespace ui

class CNewPage : public QDialog
{
public:
    /// What the font and layout step left: the template, the window it laid out, the font it
    /// made and the window's font before it.
    struct LayoutRecord
    {
        UINT nTemplateId = 0;
        const ui::DialogTemplate* pModule = nullptr;
        QWidget* pWindow = nullptr;
        std::optional<QFont> createdFont;
        std::optional<QFont> previousFont;
    };

    /// Creates the page and its controls from `dialogTemplate`, which must outlive the page.
    /// The controls stand where the platform puts them until the page is initialised.
    explicit CNewPage(const ui::DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~CNewPage() override;

    /// Makes the page a child (WS_CHILD templates) or an owned window of `parent` and
    /// initialises it. Returns what OnInitDialog returns.
    bool Create(QWidget* parent);
    /// Initialises the page when it was not yet, then runs it modally; returns its end code.
    int DoModal();

    /// Initialisation: the font and layout step, then the control colours. Derived pages call
    /// it first in their own initialisation.
    virtual bool OnInitDialog();

    /// The first child with control id `id`, or nullptr.
    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const { return dynamic_cast<T*>(GetDlgItem(id)); }

    /// The background brush of a control (nullptr: of the page itself). The page and its
    /// controls are white; in the utility the main window's check boxes 1089 to 1091 have
    /// the accent colour 0x2468F0.
    virtual QBrush OnCtlColor(const QWidget* control) const;

    UINT TemplateId() const { return m_nTemplateId; }
    const ui::DialogTemplate& Template() const { return m_template; }
    const LayoutRecord& Layout() const { return m_layout; }
    /// Base units of the page font after the layout step (0 x 0 before it).
    QSize BaseUnits() const { return m_baseUnits; }
    /// Template items the last layout step placed, in order; fewer than all after a mismatch.
    int LaidOutItems() const { return m_nLaidOut; }
    bool IsInitialised() const { return m_bInitialised; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    /// Runs the font and layout step with template `t` (the page's own one at initialisation).
    void LayoutWithFont(const ui::DialogTemplate& t);
    /// Puts the previous font back on the window and the children the layout walk matched.
    void UndoLayout();
    /// Gives every control its background colour from OnCtlColor.
    void ApplyControlColours();

    UINT m_nTemplateId;
    LayoutRecord m_layout;
    QBrush m_brush;
    CMultiLanguage m_MultiLanguage;

private:
    void CreateControls();
    /// Child of `parent` for WS_CHILD templates, else a window owned by it, framed by the style.
    void AttachTo(QWidget* parent);
    /// Calls `visit(item, child)` for each template item matched to a child in order; stops at
    /// the first item without a match. Returns the number matched.
    template <class Visit> int WalkTemplate(const ui::DialogTemplate& t, Visit visit) const;

    const ui::DialogTemplate& m_template;
    QSize m_baseUnits;
    int m_nLaidOut = 0;
    bool m_bInitialised = false;
};
