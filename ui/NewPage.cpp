#include "ui/NewPage.h"

#include "platform/Trace.h"
#include "ui/BmpBtn.h"
#include "ui/Fonts.h"
#include "ui/MyStatic.h"
#include "ui/SortCtrlList.h"
#include "ui/Text.h"
#include "ui/Toolkit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include <algorithm>

namespace ui {
namespace {

constexpr char kControlIdProperty[] = "quelmar.controlId";

Qt::Alignment StaticAlignment(DWORD style)
{
    Qt::Alignment align = Qt::AlignTop;
    switch (style & 0x3) {
    case SS_CENTER:
        align |= Qt::AlignHCenter;
        break;
    case SS_RIGHT:
        align |= Qt::AlignRight;
        break;
    default:
        align |= Qt::AlignLeft;
        break;
    }
    return align;
}

QWidget* MakeControl(const DialogItem& item, QWidget* parent, QButtonGroup*& radioGroup)
{
    const QString text = FromAnsi(item.text);
    if (item.kind != ControlKind::RadioButton)
        radioGroup = nullptr;
    switch (item.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(item.kind == ControlKind::DefPushButton);
        return button;
    }
    case ControlKind::BitmapButton: {
        auto* button = new CBmpBtn(parent);
        button->setText(text);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, parent);
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(text, parent);
        if (!radioGroup || (item.style & WS_GROUP)) {
            radioGroup = new QButtonGroup(parent);
            radioGroup->setExclusive(true);
        }
        radio->setAutoExclusive(false);
        radioGroup->addButton(radio);
        return radio;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::Static: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(StaticAlignment(item.style));
        label->setWordWrap((item.style & 0xF) != SS_LEFTNOWORDWRAP);
        return label;
    }
    case ControlKind::PaintedStatic: {
        auto* label = new CMyStatic(parent);
        label->setText(text);
        return label;
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setAlignment((item.style & SS_CENTERIMAGE) ? Qt::AlignCenter
                                                            : Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case ControlKind::EtchedLine: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, parent);
        if (item.style & ES_PASSWORD)
            edit->setEchoMode(QLineEdit::Password);
        if (item.style & ES_READONLY)
            edit->setReadOnly(true);
        if (item.style & ES_NUMBER)
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        return edit;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        return combo;
    }
    case ControlKind::ListView: {
        auto* list = new QTreeWidget(parent);
        ConfigureReportList(list, item.style);
        return list;
    }
    case ControlKind::SortList: {
        auto* list = new CSortCtrlList(parent);
        ConfigureReportList(list, item.style);
        return list;
    }
    case ControlKind::TreeView: {
        auto* tree = new QTreeWidget(parent);
        tree->setHeaderHidden(true);
        tree->setColumnCount(1);
        tree->setRootIsDecorated((item.style & TVS_LINESATROOT) != 0);
        return tree;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return new QWidget(parent);
}

/// Controls whose background the page colours: the ones that fill their own background.
bool FillsBackground(const QWidget* control)
{
    if (dynamic_cast<const CMyStatic*>(control))
        return false; // paints over whatever is behind it
    return qobject_cast<const QLabel*>(control) || qobject_cast<const QCheckBox*>(control) ||
           qobject_cast<const QRadioButton*>(control) || qobject_cast<const QGroupBox*>(control);
}

QFont TemplatePlatformFont(const DialogTemplate& t, int pixelHeight, int weight, bool italic)
{
    QFont font(FromAnsi(t.font.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(weight > 0 ? weight : 400));
    font.setItalic(italic);
    return font;
}

struct FontChoice
{
    int pixelHeight;
    int weight;
    bool italic;
};

FontChoice TemplateFontChoice(const DialogTemplate& t)
{
    if (t.style & DS_SETFONT)
        return {TemplateFontPixelHeight(t.font.pointSize), t.font.weight, t.font.italic};
    return {TemplateFontPixelHeight(8), 400, false};
}

} // namespace

int GetDlgCtrlID(const QWidget* control)
{
    if (!control)
        return IDC_STATIC;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : IDC_STATIC;
}

void SetDlgCtrlID(QWidget* control, int id)
{
    control->setProperty(kControlIdProperty, id);
}

int TemplateFontPixelHeight(std::uint16_t pointSize)
{
    int points = pointSize;
    if (pointSize >= 0x8000)
        points = 0x10000 - pointSize;
    const int pixels = static_cast<int>(points * 96.0 / 72.0 + 0.5);
    // A zero height would ask for the platform's default size; the template default is 8.
    return pixels > 0 ? pixels : static_cast<int>(8 * 96.0 / 72.0 + 0.5);
}

int TextMetricsHeight(const QFont& font)
{
    // The character height of the text metrics is the font's Windows ascent plus descent,
    // each rounded at the pixel size. Qt's own height follows the typographic metrics when
    // a font asks for them (Tahoma does), which would squeeze every page.
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    if (os2.size() >= 78 && raw.unitsPerEm() > 0) {
        auto word = [&os2](int at) {
            return (static_cast<unsigned char>(os2[at]) << 8) |
                   static_cast<unsigned char>(os2[at + 1]);
        };
        const double scale = raw.pixelSize() / raw.unitsPerEm();
        const int ascent = static_cast<int>(word(74) * scale + 0.5);
        const int descent = static_cast<int>(word(76) * scale + 0.5);
        if (ascent + descent > 0)
            return ascent + descent;
    }
    return QFontMetrics(font).height();
}

QSize MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return {(width / 26 + 1) / 2, TextMetricsHeight(font)};
}

QRect MapDialogRect(int x, int y, int cx, int cy, QSize units)
{
    auto horizontal = [&units](int v) { return static_cast<int>(v * units.width() * 0.25 + 0.5); };
    auto vertical = [&units](int v) { return static_cast<int>(v * units.height() * 0.125 + 0.5); };
    return {horizontal(x), vertical(y), horizontal(cx), vertical(cy)};
}

} // namespace ui

using namespace ui;

CNewPage::CNewPage(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), m_nTemplateId(dialogTemplate.id), m_brush(Qt::white),
      m_template(dialogTemplate)
{
    if (m_template.style & WS_CHILD)
        setWindowFlags(Qt::Widget);
    setWindowTitle(FromAnsi(m_template.title));
    CreateControls();
}

CNewPage::~CNewPage() = default;

void CNewPage::CreateControls()
{
    // Where the platform puts the controls before the page lays them out: the template's own
    // face and size.
    const FontChoice choice = TemplateFontChoice(m_template);
    const QFont font =
        TemplatePlatformFont(m_template, choice.pixelHeight, choice.weight, choice.italic);
    setFont(font);
    const QSize units = MeasureBaseUnits(font);
    resize(MapDialogRect(0, 0, m_template.cx, m_template.cy, units).size());
    QButtonGroup* radioGroup = nullptr;
    for (const DialogItem& item : m_template.items) {
        QWidget* control = MakeControl(item, this, radioGroup);
        SetDlgCtrlID(control, item.id);
        control->setFont(font);
        control->setGeometry(MapDialogRect(item.x, item.y, item.cx, item.cy, units));
        control->setEnabled((item.style & WS_DISABLED) == 0);
        control->setVisible(item.visible);
    }
}

void CNewPage::AttachTo(QWidget* parent)
{
    if (m_template.style & WS_CHILD) {
        setParent(parent, Qt::Widget);
        return;
    }
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint; // a caption-less pop-up
    if (m_template.style & WS_CAPTION) {
        flags = Qt::Dialog | Qt::WindowTitleHint;
        if (m_template.style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (m_template.style & WS_MINIMIZEBOX)
            flags |= Qt::WindowMinimizeButtonHint;
    }
    setParent(parent, flags);
}

bool CNewPage::Create(QWidget* parent)
{
    AttachTo(parent);
    return OnInitDialog();
}

int CNewPage::DoModal()
{
    if (!m_bInitialised) {
        AttachTo(parentWidget());
        OnInitDialog();
    }
    return exec();
}

bool CNewPage::OnInitDialog()
{
    LayoutWithFont(m_template);
    ApplyControlColours();
    m_bInitialised = true;
    return true;
}

template <class Visit> int CNewPage::WalkTemplate(const DialogTemplate& t, Visit visit) const
{
    QList<QWidget*> children;
    for (QObject* object : this->children()) {
        if (auto* widget = qobject_cast<QWidget*>(object); widget && !widget->isWindow())
            children.append(widget);
    }
    int matched = 0;
    qsizetype next = 0;
    for (const DialogItem& item : t.items) {
        qsizetype found = -1;
        for (qsizetype i = next; i < children.size(); ++i) {
            if (GetDlgCtrlID(children[i]) == item.id) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            platform::Trace("CNewPage: template %u item %d has no control in order\n", t.id,
                            item.id);
            break;
        }
        visit(item, children[found]);
        ++matched;
        next = found + 1;
    }
    return matched;
}

void CNewPage::LayoutWithFont(const DialogTemplate& t)
{
    if (m_layout.pWindow)
        UndoLayout();
    m_layout.nTemplateId = t.id;
    m_layout.pModule = &t;
    m_layout.pWindow = this;

    const FontChoice choice = TemplateFontChoice(t);
    const QFont font = PageFont(choice.pixelHeight, choice.weight, choice.italic);
    m_layout.previousFont = this->font();
    m_layout.createdFont = font;
    setFont(font);

    m_baseUnits = MeasureBaseUnits(font);
    const QRect client = MapDialogRect(0, 0, t.cx, t.cy, m_baseUnits);
    resize(client.size());

    m_nLaidOut = WalkTemplate(t, [this, &font](const DialogItem& item, QWidget* child) {
        child->setGeometry(MapDialogRect(item.x, item.y, item.cx, item.cy, m_baseUnits));
        child->setFont(font);
    });
}

void CNewPage::UndoLayout()
{
    if (!m_layout.pWindow || !m_layout.pModule)
        return;
    const QFont previous = m_layout.previousFont.value_or(font());
    setFont(previous);
    WalkTemplate(*m_layout.pModule,
                 [&previous](const DialogItem&, QWidget* child) { child->setFont(previous); });
    m_layout.createdFont.reset();
    m_layout.pWindow = nullptr;
}

QWidget* CNewPage::GetDlgItem(int id) const
{
    for (QObject* object : children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget && !widget->isWindow() && GetDlgCtrlID(widget) == id)
            return widget;
    }
    return nullptr;
}

QBrush CNewPage::OnCtlColor(const QWidget* control) const
{
    if (control && !IsWizardToolkit()) {
        const int id = GetDlgCtrlID(control);
        if (std::find(std::begin(kAccentCheckBoxIds), std::end(kAccentCheckBoxIds), id) !=
            std::end(kAccentCheckBoxIds))
            return QBrush(ToQColor(kAccentCheckBoxColour));
    }
    return QBrush(Qt::white);
}

void CNewPage::ApplyControlColours()
{
    m_brush = OnCtlColor(nullptr);
    for (QObject* object : children()) {
        auto* control = qobject_cast<QWidget*>(object);
        if (!control || control->isWindow())
            continue;
        const QBrush brush = OnCtlColor(control);
        // Texts, check boxes and frames are painted on the brush; edit fields and drop-down
        // lists get it as their field colour. Push buttons, lists and bars keep their own look.
        QPalette palette = control->palette();
        if (FillsBackground(control)) {
            palette.setBrush(QPalette::Window, brush);
            palette.setBrush(control->backgroundRole(), brush);
            control->setPalette(palette);
            control->setAutoFillBackground(true);
        } else if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)) {
            palette.setBrush(QPalette::Base, brush);
            control->setPalette(palette);
        }
    }
}

void CNewPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_brush);
}

void CNewPage::keyPressEvent(QKeyEvent* event)
{
    // A page inside another window leaves Enter and Escape to that window.
    if (m_template.style & WS_CHILD) {
        QWidget::keyPressEvent(event);
        return;
    }
    QDialog::keyPressEvent(event);
}
