#pragma once
#include <QByteArray>
#include <QFlags>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/qt/dialog_units.h"

namespace velmora::platform::qt {

// The control kinds a dialog table can hold.
enum class ControlKind {
    PushButton,
    CheckBox,
    GroupBox,
    StaticText,
    Icon,  // static picture: the application icon
    Edit,
    ComboBox,
    HorizontalScrollBar,
    Slider,
    Spin,  // up-down arrows working on a buddy edit box
    TabControl,
    ListBox,
};

// Style flags of one control. Flags that do not apply to a kind are ignored.
enum class ControlStyle : unsigned {
    DefaultButton = 1u << 0,
    MultiLine = 1u << 1,
    Hidden = 1u << 2,
    Disabled = 1u << 3,
    NoTabStop = 1u << 4,
    Centred = 1u << 5,
    Sunken = 1u << 6,
    Border = 1u << 7,
    VerticallyCentred = 1u << 8,
    ReadOnly = 1u << 9,
    DigitsOnly = 1u << 10,
    UpperCase = 1u << 11,
    Password = 1u << 12,
    Sorted = 1u << 13,
    VerticalScroll = 1u << 14,
    HorizontalScroll = 1u << 15,
    AutoHorizontalScroll = 1u << 16,  // multi-line edit: long lines scroll instead of wrapping
    AutoVerticalScroll = 1u << 17,
    WantReturn = 1u << 18,
    NoTicks = 1u << 19,
    OwnerDrawFixed = 1u << 20,
    OwnerDrawVariable = 1u << 21,
    Notify = 1u << 22,
    NoIntegralHeight = 1u << 23,
    ArrowKeys = 1u << 24,
    SetBuddyInteger = 1u << 25,
};
Q_DECLARE_FLAGS(ControlStyles, ControlStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlStyles)

// Frame of the dialog window itself.
enum class WindowStyle : unsigned {
    SystemMenu = 1u << 0,
    ModalFrame = 1u << 1,
    MinimizeBox = 1u << 2,
    MaximizeBox = 1u << 3,
};
Q_DECLARE_FLAGS(WindowStyles, WindowStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(WindowStyles)

struct ValueRange {
    int minimum = 0;
    int maximum = 0;
};

struct ControlTemplate {
    std::optional<int> id;  // controls without id get no object name
    ControlKind kind = ControlKind::StaticText;
    QString text;
    DialogRect rect;
    ControlStyles styles;
    std::optional<ValueRange> range;  // slider, spin, scroll bar
    std::optional<int> buddy;         // spin: id of its edit box, created before it
};

struct DialogTemplate {
    std::optional<int> resourceId;
    QString caption;
    QString fontFace;
    int fontPointSize = 8;
    int width = 0;   // client area, dialog units
    int height = 0;
    WindowStyles windowStyles;
    std::vector<ControlTemplate> controls;  // creation order = tab order = front to back
};

// Upper bound on the controls of one table; a longer table is refused.
inline constexpr std::size_t kMaxTemplateControls = 100;

struct TemplateParseResult {
    std::optional<DialogTemplate> dialog;
    QString error;  // empty on success
};

// Reads a dialog table from its JSON text. Unknown kinds or styles,
// duplicate ids, negative sizes and a spin without an earlier edit box as
// its buddy are refused with a message naming the control.
[[nodiscard]] TemplateParseResult parseDialogTemplate(const QByteArray& json);

// Reads the compiled-in table ":/templates/<name>.json".
[[nodiscard]] TemplateParseResult loadDialogTemplate(const QString& name);

// Name tables, used by the reader and by messages.
[[nodiscard]] std::optional<ControlKind> controlKindFromName(const QString& name);
[[nodiscard]] QString controlKindName(ControlKind kind);
[[nodiscard]] std::optional<ControlStyle> controlStyleFromName(const QString& name);

}  // namespace velmora::platform::qt
