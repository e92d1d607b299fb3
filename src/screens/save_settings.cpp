#include "screens/save_settings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "screens/widgets/folder_lists.h"
#include "settingsfile/save_name.h"

namespace tavrel::screens {

Form_SaveSettings::Form_SaveSettings(AppContext& context, QWidget* parent)
    : SettingsFileBrowser(context, QStringLiteral("Form_SaveSettings"),
                          QStringLiteral("Save Settings"), parent) {
    auto* frame = new QGroupBox(QStringLiteral("Save As"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    name_ = new QLineEdit(frame);
    name_->setObjectName(QStringLiteral("Text_FileName"));
    // Enter in the box saves; the button does the same for a user who looks for one.
    auto* button = new QPushButton(QStringLiteral("Save"), frame);
    button->setObjectName(QStringLiteral("Cmd_Save"));
    button->setEnabled(false);
    auto* inner = new QHBoxLayout(frame);
    inner->addWidget(name_, 1);
    inner->addWidget(button);
    layout()->addWidget(frame);
    name_->setFocus();

    connect(fileList(), &FileList::fileChosen, this, [this](const QString& file) {
        chosen_ = file;
        // The name without its extension: saving adds it again.
        name_->setText(file.left(file.size() - 4));
    });
    connect(name_, &QLineEdit::textChanged, button,
            [button](const QString& text) { button->setEnabled(!text.isEmpty()); });
    connect(name_, &QLineEdit::returnPressed, this, [this] {
        if (!name_->text().isEmpty())
            save();
    });
    connect(button, &QPushButton::clicked, this, &Form_SaveSettings::save);
}

void Form_SaveSettings::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the name box; a dialog's default button must not take it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    SettingsFileBrowser::keyPressEvent(event);
}

void Form_SaveSettings::save() {
    const QString typed = name_->text();
    // The name of a file chosen in the list, unchanged, saves over that very file:
    // "UP.DKS" must not gain a second "UP.dks" beside it.
    const QString extension = !chosen_.isEmpty() && typed + chosen_.right(4) == chosen_
                                  ? chosen_.right(4)
                                  : QStringLiteral(".dks");
    // In UTF-8, as the file routines take names on every system.
    const SettingsFileResult result = saveSettingsAs(
        folder(), typed.toStdString(), context_.store.values(), extension.toStdString());
    if (!result.ok) {
        context_.messages.inform(this, QString::fromStdString(result.message));
        return;
    }
    context_.history.markFile(FileEvent::Saved, context_.store.values(),
                              (typed + extension).toStdString());
    context_.showStatus(QStringLiteral("Settings saved."));
    close();
}

} // namespace tavrel::screens
