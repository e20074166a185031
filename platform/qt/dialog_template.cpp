#include "platform/qt/dialog_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <set>
#include <utility>

namespace velmora::platform::qt {
namespace {

struct KindName {
    ControlKind kind;
    const char* name;
};

constexpr std::array kKindNames{
    KindName{ControlKind::PushButton, "button"},
    KindName{ControlKind::CheckBox, "checkbox"},
    KindName{ControlKind::GroupBox, "groupbox"},
    KindName{ControlKind::StaticText, "static"},
    KindName{ControlKind::Icon, "icon"},
    KindName{ControlKind::Edit, "edit"},
    KindName{ControlKind::ComboBox, "combobox"},
    KindName{ControlKind::HorizontalScrollBar, "hscrollbar"},
    KindName{ControlKind::Slider, "slider"},
    KindName{ControlKind::Spin, "spin"},
    KindName{ControlKind::TabControl, "tab"},
    KindName{ControlKind::ListBox, "listbox"},
};

struct StyleName {
    ControlStyle style;
    const char* name;
};

constexpr std::array kStyleNames{
    StyleName{ControlStyle::DefaultButton, "default"},
    StyleName{ControlStyle::MultiLine, "multiLine"},
    StyleName{ControlStyle::Hidden, "hidden"},
    StyleName{ControlStyle::Disabled, "disabled"},
    StyleName{ControlStyle::NoTabStop, "noTabStop"},
    StyleName{ControlStyle::Centred, "centred"},
    StyleName{ControlStyle::Sunken, "sunken"},
    StyleName{ControlStyle::Border, "border"},
    StyleName{ControlStyle::VerticallyCentred, "verticallyCentred"},
    StyleName{ControlStyle::ReadOnly, "readOnly"},
    StyleName{ControlStyle::DigitsOnly, "digitsOnly"},
    StyleName{ControlStyle::UpperCase, "upperCase"},
    StyleName{ControlStyle::Password, "password"},
    StyleName{ControlStyle::Sorted, "sorted"},
    StyleName{ControlStyle::VerticalScroll, "vScroll"},
    StyleName{ControlStyle::HorizontalScroll, "hScroll"},
    StyleName{ControlStyle::AutoHorizontalScroll, "autoHScroll"},
    StyleName{ControlStyle::AutoVerticalScroll, "autoVScroll"},
    StyleName{ControlStyle::WantReturn, "wantReturn"},
    StyleName{ControlStyle::NoTicks, "noTicks"},
    StyleName{ControlStyle::OwnerDrawFixed, "ownerDrawFixed"},
    StyleName{ControlStyle::OwnerDrawVariable, "ownerDrawVariable"},
    StyleName{ControlStyle::Notify, "notify"},
    StyleName{ControlStyle::NoIntegralHeight, "noIntegralHeight"},
    StyleName{ControlStyle::ArrowKeys, "arrowKeys"},
    StyleName{ControlStyle::SetBuddyInteger, "setBuddyInt"},
};

struct WindowStyleName {
    WindowStyle style;
    const char* name;
};

constexpr std::array kWindowStyleNames{
    WindowStyleName{WindowStyle::SystemMenu, "systemMenu"},
    WindowStyleName{WindowStyle::ModalFrame, "modalFrame"},
    WindowStyleName{WindowStyle::MinimizeBox, "minimizeBox"},
    WindowStyleName{WindowStyle::MaximizeBox, "maximizeBox"},
};

TemplateParseResult failure(const QString& message) {
    return {std::nullopt, message};
}

// Reads [x, y, width, height]; false when the array is malformed.
bool readRect(const QJsonValue& value, DialogRect& rect) {
    const QJsonArray array = value.toArray();
    if (array.size() != 4) {
        return false;
    }
    for (const QJsonValue& v : array) {
        if (!v.isDouble()) {
            return false;
        }
    }
    rect = {array[0].toInt(), array[1].toInt(), array[2].toInt(), array[3].toInt()};
    return rect.width >= 0 && rect.height >= 0;
}

// Describes a control in messages: "control 1002" or "control #3 (static)".
QString describe(const ControlTemplate& control, qsizetype index) {
    if (control.id) {
        return QStringLiteral("control %1").arg(*control.id);
    }
    return QStringLiteral("control #%1 (%2)").arg(index).arg(controlKindName(control.kind));
}

// Parses one control; returns an error text, empty on success.
QString readControl(const QJsonObject& object, qsizetype index, ControlTemplate& control) {
    const auto kind = controlKindFromName(object.value(QLatin1String("kind")).toString());
    if (!kind) {
        return QStringLiteral("control #%1: unknown kind \"%2\"")
            .arg(index)
            .arg(object.value(QLatin1String("kind")).toString());
    }
    control.kind = *kind;
    if (object.contains(QLatin1String("id"))) {
        const int id = object.value(QLatin1String("id")).toInt(-1);
        if (id < 1 || id > 0xFFFF) {
            return QStringLiteral("control #%1: id must be 1..65535").arg(index);
        }
        control.id = id;
    }
    control.text = object.value(QLatin1String("text")).toString();
    if (!readRect(object.value(QLatin1String("rect")), control.rect)) {
        return describe(control, index) + QStringLiteral(": rect must be [x, y, width, height]");
    }
    for (const QJsonValue& styleValue : object.value(QLatin1String("style")).toArray()) {
        const auto style = controlStyleFromName(styleValue.toString());
        if (!style) {
            return describe(control, index) +
                   QStringLiteral(": unknown style \"%1\"").arg(styleValue.toString());
        }
        control.styles |= *style;
    }
    if (object.contains(QLatin1String("range"))) {
        const QJsonArray range = object.value(QLatin1String("range")).toArray();
        if (range.size() != 2 || range[0].toInt() > range[1].toInt()) {
            return describe(control, index) + QStringLiteral(": range must be [min, max]");
        }
        control.range = ValueRange{range[0].toInt(), range[1].toInt()};
    }
    if (object.contains(QLatin1String("buddy"))) {
        control.buddy = object.value(QLatin1String("buddy")).toInt(-1);
    }
    return {};
}

}  // namespace

std::optional<ControlKind> controlKindFromName(const QString& name) {
    for (const auto& entry : kKindNames) {
        if (name == QLatin1String(entry.name)) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

QString controlKindName(ControlKind kind) {
    for (const auto& entry : kKindNames) {
        if (entry.kind == kind) {
            return QLatin1String(entry.name);
        }
    }
    return QStringLiteral("?");
}

std::optional<ControlStyle> controlStyleFromName(const QString& name) {
    for (const auto& entry : kStyleNames) {
        if (name == QLatin1String(entry.name)) {
            return entry.style;
        }
    }
    return std::nullopt;
}

TemplateParseResult parseDialogTemplate(const QByteArray& json) {
    QJsonParseError jsonError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &jsonError);
    if (jsonError.error != QJsonParseError::NoError) {
        return failure(QStringLiteral("not valid JSON at offset %1: %2")
                           .arg(jsonError.offset)
                           .arg(jsonError.errorString()));
    }
    if (!document.isObject()) {
        return failure(QStringLiteral("the table must be a JSON object"));
    }
    const QJsonObject root = document.object();

    DialogTemplate dialog;
    if (root.contains(QLatin1String("id"))) {
        dialog.resourceId = root.value(QLatin1String("id")).toInt();
    }
    dialog.caption = root.value(QLatin1String("caption")).toString();
    const QJsonObject font = root.value(QLatin1String("font")).toObject();
    dialog.fontFace = font.value(QLatin1String("face")).toString();
    dialog.fontPointSize = font.value(QLatin1String("size")).toInt(8);
    if (dialog.fontFace.isEmpty() || dialog.fontPointSize <= 0) {
        return failure(QStringLiteral("font must name a face and a positive size"));
    }
    const QJsonArray size = root.value(QLatin1String("size")).toArray();
    if (size.size() != 2 || size[0].toInt() <= 0 || size[1].toInt() <= 0) {
        return failure(QStringLiteral("size must be [width, height] in dialog units"));
    }
    dialog.width = size[0].toInt();
    dialog.height = size[1].toInt();
    for (const QJsonValue& styleValue : root.value(QLatin1String("style")).toArray()) {
        bool known = false;
        for (const auto& entry : kWindowStyleNames) {
            if (styleValue.toString() == QLatin1String(entry.name)) {
                dialog.windowStyles |= entry.style;
                known = true;
            }
        }
        if (!known) {
            return failure(QStringLiteral("unknown window style \"%1\"").arg(styleValue.toString()));
        }
    }

    const QJsonArray controls = root.value(QLatin1String("controls")).toArray();
    if (static_cast<std::size_t>(controls.size()) > kMaxTemplateControls) {
        return failure(QStringLiteral("more than %1 controls").arg(kMaxTemplateControls));
    }
    std::set<int> ids;
    std::set<int> editIds;
    for (qsizetype index = 0; index < controls.size(); ++index) {
        ControlTemplate control;
        const QString error = readControl(controls[index].toObject(), index, control);
        if (!error.isEmpty()) {
            return failure(error);
        }
        if (control.id && !ids.insert(*control.id).second) {
            return failure(QStringLiteral("control %1 appears twice").arg(*control.id));
        }
        if (control.kind == ControlKind::Spin &&
            (!control.buddy || editIds.count(*control.buddy) == 0)) {
            return failure(describe(control, index) +
                           QStringLiteral(": a spin needs an edit box created before it as buddy"));
        }
        if (control.id && control.kind == ControlKind::Edit) {
            editIds.insert(*control.id);
        }
        dialog.controls.push_back(std::move(control));
    }
    return {std::move(dialog), {}};
}

TemplateParseResult loadDialogTemplate(const QString& name) {
    QFile file(QStringLiteral(":/templates/%1.json").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(QStringLiteral("no dialog table named \"%1\"").arg(name));
    }
    TemplateParseResult result = parseDialogTemplate(file.readAll());
    if (!result.error.isEmpty()) {
        result.error = name + QStringLiteral(": ") + result.error;
    }
    return result;
}

}  // namespace velmora::platform::qt
