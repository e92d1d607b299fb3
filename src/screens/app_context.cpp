#include "screens/app_context.h"

#include <QMessageBox>

namespace tavrel::screens {

void QtMessageSeam::inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kProductName, text, QMessageBox::Ok, parent);
    box.exec();
}

std::unique_ptr<QMessageBox> questionBox(QWidget* parent, const QString& text,
                                         const QString& title) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

bool QtMessageSeam::ask(QWidget* parent, const QString& text, const QString& title) {
    return questionBox(parent, text, title)->exec() == QMessageBox::Yes;
}

QWidget* AppContext::openWindow(const QString& name, const std::function<QWidget*()>& make) {
    QPointer<QWidget>& slot = windows_[name];
    if (!slot) {
        slot = make();
        slot->setObjectName(name);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    if (slot->isMinimized())
        slot->showNormal();
    slot->raise();
    slot->activateWindow();
    return slot;
}

QWidget* AppContext::window(const QString& name) const {
    const auto found = windows_.find(name);
    return found == windows_.end() ? nullptr : found->second.data();
}

void AppContext::setRefresher(RefreshOrder order, std::function<void()> refresh) {
    refreshers_[order] = std::move(refresh);
}

void AppContext::clearRefresher(RefreshOrder order) {
    refreshers_.erase(order);
}

void AppContext::refresh(RefreshOrder order) const {
    const auto found = refreshers_.find(order);
    if (found != refreshers_.end() && found->second)
        found->second();
}

void AppContext::refreshAll() const {
    // Copy first: a redraw may create or close a window and so change the map.
    const auto hooks = refreshers_;
    for (const auto& [order, hook] : hooks)
        if (hook)
            hook();
}

} // namespace tavrel::screens
