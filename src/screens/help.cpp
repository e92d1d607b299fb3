#include "screens/help.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/editor_state.h"
#include "screens/widgets/fit_window.h"
#include "screens/widgets/marking.h"

namespace tavrel::screens {

namespace {

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel* cell(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// One of the two click tables of the "Controls" frame. `free` and `shift` hold either
// a left and a right entry, or one entry that spans both columns.
QGridLayout* clickTable(QWidget* frame, const QString& title, const QStringList& free,
                        const QStringList& shift) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->addWidget(heading(title, frame), 0, 0);
    grid->addWidget(cell(QStringLiteral("Left Click"), frame), 0, 1);
    grid->addWidget(cell(QStringLiteral("Right Click"), frame), 0, 2);
    const QList<std::pair<QString, QStringList>> rows = {{QStringLiteral("Free"), free},
                                                         {QStringLiteral("Hold Shift"), shift}};
    for (int row = 1; row <= 2; ++row) {
        const auto& [caption, entries] = rows[row - 1];
        grid->addWidget(new QLabel(caption, frame), row, 0);
        if (entries.size() == 1) {
            grid->addWidget(cell(entries[0], frame), row, 1, 1, 2);
        } else {
            grid->addWidget(cell(entries[0], frame), row, 1);
            grid->addWidget(cell(entries[1], frame), row, 2);
        }
    }
    return grid;
}

// A colour sample that looks like a value label of the settings screens.
QLabel* sample(int index, const QString& caption, QColor background, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QStringLiteral("Label_Stat(%1)").arg(index));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(caption) + 24);
    label->setAutoFillBackground(true);
    setPaletteColour(label, QPalette::Window, background);
    setPaletteColour(label, QPalette::WindowText, Qt::black);
    return label;
}

} // namespace

Form_Help::Form_Help(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("Form_Help"));
    setWindowTitle(QStringLiteral("Help"));
    auto* content = new QWidget(this);

    // Set Up.
    auto* setUp = new QGroupBox(QStringLiteral("Set Up"), content);
    setUp->setObjectName(QStringLiteral("Frame1"));
    auto* welcome =
        heading(QStringLiteral("Welcome to the unofficial Dungeon Keeper editor."), setUp);
    welcome->setObjectName(QStringLiteral("Label1"));
    auto* howTo = new QLabel(
        QStringLiteral("If you can't open any of the option screens on the main menu, this means "
                       "the editor was unable to find Dungeon Keeper installed on your computer. "
                       "Simply click the button under the 'Dungeon Keeper Location' section, and "
                       "select the folder where Dungeon Keeper is installed."),
        setUp);
    howTo->setObjectName(QStringLiteral("Label2"));
    howTo->setWordWrap(true);
    auto* setUpLayout = new QVBoxLayout(setUp);
    setUpLayout->addWidget(welcome);
    setUpLayout->addWidget(howTo);

    // Controls: what a click does on the minus and plus labels and on a value label.
    auto* controls = new QGroupBox(QStringLiteral("Controls"), content);
    controls->setObjectName(QStringLiteral("Frame3"));
    auto* controlsLayout = new QVBoxLayout(controls);
    controlsLayout->addLayout(clickTable(controls, QStringLiteral("( - / + ) Changes"),
                                         {QStringLiteral("1"), QStringLiteral("10")},
                                         {QStringLiteral("100"), QStringLiteral("1000")}));
    controlsLayout->addSpacing(10);
    controlsLayout->addLayout(clickTable(controls, QStringLiteral("Text Box Changes"),
                                         {QStringLiteral("Manual Input")},
                                         {QStringLiteral("Reset Value to Default")}));
    controlsLayout->addStretch(1);

    // Colour Changes: the backgrounds of the settings screens' value labels.
    auto* colours = new QGroupBox(QStringLiteral("Colour Changes"), content);
    colours->setObjectName(QStringLiteral("Frame4"));
    auto* colourGrid = new QGridLayout(colours);
    colourGrid->setHorizontalSpacing(8);
    colourGrid->setVerticalSpacing(10);
    colourGrid->addWidget(new QLabel(QStringLiteral("Adjusted Values:"), colours), 0, 0);
    colourGrid->addWidget(sample(1, QStringLiteral("Low"), QColor(255, 220, 220), colours), 0, 1);
    colourGrid->addWidget(sample(3, QStringLiteral("High"), QColor(220, 255, 220), colours), 0, 2);
    colourGrid->addWidget(new QLabel(QStringLiteral("Others:"), colours), 1, 0);
    colourGrid->addWidget(sample(2, QStringLiteral("Default"), QColor(255, 255, 255), colours), 1,
                          1);
    colourGrid->addWidget(sample(4, QStringLiteral("Button Click"), QColor(235, 235, 235), colours),
                          1, 2);
    colourGrid->setRowStretch(2, 1);

    // Tips.
    auto* tips = new QGroupBox(QStringLiteral("Tips"), content);
    tips->setObjectName(QStringLiteral("Frame2"));
    tip_ = new QLabel(tips);
    tip_->setObjectName(QStringLiteral("Label_Tip"));
    tip_->setWordWrap(true);
    tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest tip, so that paging never resizes the window.
    tip_->setMinimumHeight(tip_->fontMetrics().lineSpacing() * 6);
    tipNumber_ = new QLabel(tips);
    tipNumber_->setObjectName(QStringLiteral("Label_Tip_Number"));
    tipNumber_->setAlignment(Qt::AlignCenter);
    previous_ = new QPushButton(QStringLiteral("Previous"), tips);
    previous_->setObjectName(QStringLiteral("Cmd_Previous"));
    next_ = new QPushButton(QStringLiteral("Next"), tips);
    next_->setObjectName(QStringLiteral("Cmd_Next"));
    auto* paging = new QHBoxLayout;
    paging->addWidget(previous_);
    paging->addWidget(tipNumber_, 1);
    paging->addWidget(next_);
    auto* tipsLayout = new QVBoxLayout(tips);
    tipsLayout->addWidget(tip_);
    tipsLayout->addLayout(paging);

    auto* middle = new QHBoxLayout;
    middle->addWidget(controls, 1);
    middle->addWidget(colours);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(setUp);
    layout->addLayout(middle);
    layout->addWidget(tips);
    // The word-wrapped texts take the width the tables and samples need, no more.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(next_, &QPushButton::clicked, this, &Form_Help::next);
    connect(previous_, &QPushButton::clicked, this, &Form_Help::previous);

    // The window opens on the tip last viewed in this run.
    int& tip = context_.state.CurrentTip;
    tip = std::clamp(tip, 1, kTipCount);
    previous_->setEnabled(tip > 1);
    next_->setEnabled(tip < kTipCount);
    showTip();
    layout->activate();
    // On a small screen the page scrolls.
    fitOnScreen(this, content);
}

void Form_Help::next() {
    int& tip = context_.state.CurrentTip;
    tip = std::min(tip + 1, kTipCount);
    if (tip > 1)
        previous_->setEnabled(true);
    if (tip >= kTipCount)
        next_->setEnabled(false);
    showTip();
}

void Form_Help::previous() {
    int& tip = context_.state.CurrentTip;
    tip = std::max(tip - 1, 1);
    if (tip < kTipCount)
        next_->setEnabled(true);
    if (tip < 2)
        previous_->setEnabled(false);
    showTip();
}

void Form_Help::showTip() {
    const int tip = context_.state.CurrentTip;
    tipNumber_->setText(QStringLiteral("%1 of %2").arg(tip).arg(kTipCount));
    tip_->setText(
        QString::fromUtf8(tipText(tip).data(), static_cast<qsizetype>(tipText(tip).size())));
}

} // namespace tavrel::screens
