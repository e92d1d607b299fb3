#pragma once

#include <QWidget>

#include "screens/app_context.h"

class QLabel;
class QPushButton;

namespace tavrel::screens {

// "Help": setting the editor up, the mouse controls, the colour key and the tips.
class Form_Help : public QWidget {
    Q_OBJECT
public:
    explicit Form_Help(AppContext& context, QWidget* parent = nullptr);

private:
    void next();
    void previous();
    void showTip();

    AppContext& context_;
    QLabel* tip_;
    QLabel* tipNumber_;
    QPushButton* previous_;
    QPushButton* next_;
};

} // namespace tavrel::screens
