#include "platform/qt/dialog_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTextDocument>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QValidator>

#include "platform/qt/application_icon.h"
#include "platform/qt/group_frame.h"
#include "platform/qt/sorted_combo_box.h"
#include "platform/qt/up_down_control.h"

namespace velmora::platform::qt {
namespace {

// Turns every typed letter into its capital as it is typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*position*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

// Inner space a push button keeps between its caption and its edges.
constexpr int kButtonCaptionMargin = 6;

QWidget* createPushButton(QWidget& host, const ControlTemplate& control, const PixelRect& rect) {
    auto* button = new QPushButton(&host);
    QString caption = control.text;
    if (control.styles.testFlag(ControlStyle::MultiLine)) {
        caption = wrapCaption(caption, QFontMetrics(host.font()), rect.width - kButtonCaptionMargin);
    }
    button->setText(caption);
    // Enter is dispatched by the dialog itself (see TemplateDialog), so Qt's
    // moving default button is switched off; the default keeps its frame.
    button->setAutoDefault(false);
    button->setDefault(control.styles.testFlag(ControlStyle::DefaultButton));
    return button;
}

QWidget* createStaticText(QWidget& host, const ControlTemplate& control) {
    auto* label = new QLabel(&host);
    label->setTextFormat(Qt::PlainText);
    label->setText(control.text);
    label->setWordWrap(true);
    const Qt::Alignment horizontal =
        control.styles.testFlag(ControlStyle::Centred) ? Qt::AlignHCenter : Qt::AlignLeft;
    const Qt::Alignment vertical =
        control.styles.testFlag(ControlStyle::VerticallyCentred) ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(horizontal | vertical);
    const bool sunken = control.styles.testFlag(ControlStyle::Sunken);
    const bool border = control.styles.testFlag(ControlStyle::Border);
    if (sunken) {
        // A sunken edge is drawn dark above and left, light below and right;
        // on today's near-white dialog background the usual white light edge
        // vanishes, so it takes the mid-light grey instead.
        QPalette palette = label->palette();
        palette.setColor(QPalette::Light, palette.color(QPalette::Midlight));
        label->setPalette(palette);
    }
    if (sunken && border) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    } else if (sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    } else if (border) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    return label;
}

QWidget* createIcon(QWidget& host, const PixelRect& rect) {
    auto* label = new QLabel(&host);
    const int side = std::min(rect.width, rect.height);
    label->setPixmap(applicationIcon().pixmap(side, side));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget* createSingleLineEdit(QWidget& host, const ControlTemplate& control) {
    auto* edit = new QLineEdit(control.text, &host);
    const ControlStyles styles = control.styles;
    edit->setReadOnly(styles.testFlag(ControlStyle::ReadOnly));
    if (styles.testFlag(ControlStyle::Password)) {
        edit->setEchoMode(QLineEdit::Password);
    }
    if (styles.testFlag(ControlStyle::Centred)) {
        edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    if (styles.testFlag(ControlStyle::DigitsOnly)) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    } else if (styles.testFlag(ControlStyle::UpperCase)) {
        edit->setValidator(new UpperCaseValidator(edit));
    }
    return edit;
}

// The one multi-line edit of the tables that is upper-case is also read-only,
// so upper-casing typed text is only done for single-line boxes.
QWidget* createMultiLineEdit(QWidget& host, const ControlTemplate& control) {
    auto* edit = new QPlainTextEdit(control.text, &host);
    const ControlStyles styles = control.styles;
    edit->setReadOnly(styles.testFlag(ControlStyle::ReadOnly));
    edit->setLineWrapMode(styles.testFlag(ControlStyle::AutoHorizontalScroll)
                              ? QPlainTextEdit::NoWrap
                              : QPlainTextEdit::WidgetWidth);
    edit->setVerticalScrollBarPolicy(styles.testFlag(ControlStyle::VerticalScroll)
                                         ? Qt::ScrollBarAlwaysOn
                                         : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(styles.testFlag(ControlStyle::HorizontalScroll)
                                           ? Qt::ScrollBarAlwaysOn
                                           : Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    // A thin inner margin keeps the text in line with labels placed beside
    // and above the box.
    edit->document()->setDocumentMargin(1);
    return edit;
}

QWidget* createComboBox(QWidget& host, const ControlTemplate& control) {
    QComboBox* combo = control.styles.testFlag(ControlStyle::Sorted) ? new SortedComboBox(&host)
                                                                     : new QComboBox(&host);
    combo->setEditable(false);
    return combo;
}

QWidget* createListBox(QWidget& host, const ControlTemplate& control) {
    auto* list = new QListWidget(&host);
    const ControlStyles styles = control.styles;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(styles.testFlag(ControlStyle::OwnerDrawFixed));
    list->setVerticalScrollBarPolicy(styles.testFlag(ControlStyle::VerticalScroll)
                                         ? Qt::ScrollBarAsNeeded
                                         : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(styles.testFlag(ControlStyle::HorizontalScroll)
                                           ? Qt::ScrollBarAsNeeded
                                           : Qt::ScrollBarAlwaysOff);
    if (!styles.testFlag(ControlStyle::Border)) {
        list->setFrameStyle(QFrame::NoFrame);
    }
    return list;
}

QWidget* createSlider(QWidget& host, const ControlTemplate& control) {
    auto* slider = new QSlider(Qt::Horizontal, &host);
    if (control.range) {
        slider->setRange(control.range->minimum, control.range->maximum);
    }
    if (control.styles.testFlag(ControlStyle::NoTicks)) {
        slider->setTickPosition(QSlider::NoTicks);
    } else {
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(slider->maximum() - slider->minimum());
    }
    return slider;
}

QWidget* createSpin(QWidget& host, const ControlTemplate& control,
                    const QHash<int, QWidget*>& created) {
    auto* spin = new UpDownControl(&host);
    if (control.range) {
        spin->setRange(control.range->minimum, control.range->maximum);
    }
    spin->setArrowKeysEnabled(control.styles.testFlag(ControlStyle::ArrowKeys));
    spin->setBuddy(qobject_cast<QLineEdit*>(created.value(*control.buddy)));
    return spin;
}

QWidget* createControl(QWidget& host, const ControlTemplate& control, const PixelRect& rect,
                       const QHash<int, QWidget*>& created) {
    switch (control.kind) {
        case ControlKind::PushButton:
            return createPushButton(host, control, rect);
        case ControlKind::CheckBox:
            return new QCheckBox(control.text, &host);
        case ControlKind::GroupBox: {
            auto* group = new GroupFrame(control.text, &host);
            // A frame only: clicks go to whatever lies under it.
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            return group;
        }
        case ControlKind::StaticText:
            return createStaticText(host, control);
        case ControlKind::Icon:
            return createIcon(host, rect);
        case ControlKind::Edit:
            return control.styles.testFlag(ControlStyle::MultiLine)
                       ? createMultiLineEdit(host, control)
                       : createSingleLineEdit(host, control);
        case ControlKind::ComboBox:
            return createComboBox(host, control);
        case ControlKind::HorizontalScrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, &host);
            if (control.range) {
                bar->setRange(control.range->minimum, control.range->maximum);
            }
            return bar;
        }
        case ControlKind::Slider:
            return createSlider(host, control);
        case ControlKind::Spin:
            return createSpin(host, control, created);
        case ControlKind::TabControl:
            return new QTabWidget(&host);
        case ControlKind::ListBox:
            return createListBox(host, control);
    }
    return nullptr;
}

}  // namespace

QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
    const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines.append(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty()) {
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

QString buildControls(QWidget& host, const DialogTemplate& dialog, const DialogUnits& units) {
    QHash<int, QWidget*> created;
    for (const ControlTemplate& control : dialog.controls) {
        const PixelRect rect = units.toPixels(control.rect);
        QWidget* widget = createControl(host, control, rect, created);
        if (widget == nullptr) {
            return QStringLiteral("control kind %1 cannot be built")
                .arg(controlKindName(control.kind));
        }
        if (control.id) {
            widget->setObjectName(QString::number(*control.id));
            created.insert(*control.id, widget);
        }
        int height = rect.height;
        if (control.kind == ControlKind::ComboBox) {
            // The table's height includes the dropped list; the closed field
            // takes the height its font needs.
            height = widget->sizeHint().height();
        }
        widget->setGeometry(rect.x, rect.y, rect.width, height);
        if (control.styles.testFlag(ControlStyle::Hidden)) {
            widget->setHidden(true);
        }
        if (control.styles.testFlag(ControlStyle::Disabled)) {
            widget->setEnabled(false);
        }
        if (control.styles.testFlag(ControlStyle::NoTabStop) &&
            widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        // Later siblings would paint over earlier ones; the tables list the
        // frontmost control first, so each new control goes to the back.
        widget->lower();
    }
    return {};
}

QWidget* findControl(const QWidget& host, int id) {
    return host.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

}  // namespace velmora::platform::qt
