#include "platform/qt/template_dialog.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>

#include "platform/qt/application_icon.h"
#include "platform/qt/dialog_builder.h"
#include "platform/qt/dialog_font.h"

namespace velmora::platform::qt {

namespace {

bool clickIfUsable(QPushButton* button) {
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) return false;
    button->click();
    return true;
}

}  // namespace

TemplateDialog::TemplateDialog(const QString& templateName, QWidget* parent) : QDialog(parent) {
    TemplateParseResult parsed = loadDialogTemplate(templateName);
    if (!parsed.dialog) {
        buildError_ = parsed.error;
        return;
    }
    template_ = std::move(*parsed.dialog);

    setWindowTitle(template_.caption);
    setWindowIcon(applicationIcon());
    setFont(dialogFont(template_.fontFace, template_.fontPointSize));
    units_ = dialogUnitsFor(font());
    setFixedSize(units_.toPixelsX(template_.width), units_.toPixelsY(template_.height));
    applyWindowStyles();

    buildError_ = buildControls(*this, template_, units_);
    connectStandardButtons();
}

QWidget* TemplateDialog::control(int id) const {
    return findControl(*this, id);
}

void TemplateDialog::applyWindowStyles() {
    const WindowStyles styles = template_.windowStyles;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (styles.testFlag(WindowStyle::SystemMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (styles.testFlag(WindowStyle::MinimizeBox)) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (styles.testFlag(WindowStyle::MaximizeBox)) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(flags);
}

void TemplateDialog::connectStandardButtons() {
    if (auto* ok = control<QAbstractButton>(kIdOk)) {
        connect(ok, &QAbstractButton::clicked, this, &TemplateDialog::onOk);
    }
    if (auto* cancel = control<QAbstractButton>(kIdCancel)) {
        connect(cancel, &QAbstractButton::clicked, this, &TemplateDialog::reject);
    }
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        pressDefaultButton();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TemplateDialog::setEnterAction(int boxId, int buttonId) { enterActions_.push_back({boxId, buttonId}); }

void TemplateDialog::pressDefaultButton() {
    if (clickIfUsable(qobject_cast<QPushButton*>(focusWidget()))) return;
    for (const EnterAction& action : enterActions_) {
        if (focusWidget() != nullptr && focusWidget() == control(action.boxId)) {
            (void)clickIfUsable(control<QPushButton>(action.buttonId));
            return;
        }
    }
    bool hasDefault = false;
    for (const ControlTemplate& entry : template_.controls) {
        if (entry.kind != ControlKind::PushButton ||
            !entry.styles.testFlag(ControlStyle::DefaultButton) || !entry.id) {
            continue;
        }
        hasDefault = true;
        if (clickIfUsable(control<QPushButton>(*entry.id))) return;
    }
    if (!hasDefault && enterWithoutButtonIsOk_) {
        onOk();
    }
}

void TemplateDialog::reject() {
    onCancel();
}

void TemplateDialog::onOk() {
    accept();
}

void TemplateDialog::onCancel() {
    QDialog::reject();
}

}  // namespace velmora::platform::qt
