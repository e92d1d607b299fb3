#include "screens/tables/settings_screen.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <map>

#include "screens/tables/settings_screens.h"
#include "screens/widgets/fit_window.h"
#include "screens/widgets/marking.h"

namespace tavrel::screens {

namespace {

constexpr int kOuterMargin = 8; // around the window and between frames
constexpr int kFrameSide = 10;  // inside a frame, left and right
constexpr int kFrameBottom = 10;
constexpr int kColumnGap = 8; // between the value rows of neighbouring columns
constexpr int kRowGap = 4;
constexpr int kLinedRowGap = 6;
constexpr int kCaptionGap = 12; // between a row caption and the first column

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// Measures shared by every frame of a screen.
struct Metrics {
    explicit Metrics(const QFont& font)
        : fm(font), row(ValueRow::sizeFor(font)), columnPitch(row.width() + kColumnGap),
          lineHeight(fm.height() + 4), frameTop(fm.height() + 10) {}
    QFontMetrics fm;
    QSize row;
    int columnPitch;
    int lineHeight;
    int frameTop;

    int rowPitch(bool lined) const { return row.height() + (lined ? kLinedRowGap : kRowGap); }
};

bool hasGrid(const FrameLayout& frame) {
    return !frame.rows.empty();
}

int captionColumnWidth(const FrameLayout& frame, const Metrics& m) {
    int width = 0;
    for (const GridRow& row : frame.rows)
        width = std::max(width, m.fm.horizontalAdvance(text(row.caption)));
    return width + kCaptionGap;
}

int naturalWidth(const FrameLayout& frame, int captionWidth, const Metrics& m) {
    int width = captionWidth + static_cast<int>(frame.headings.size()) * m.columnPitch;
    for (const GridRow& row : frame.rows)
        width = std::max(width, m.fm.horizontalAdvance(text(row.noteBefore)));
    return width + 2 * kFrameSide;
}

const ColumnSpan* spanOver(const FrameLayout& frame, int column) {
    for (const ColumnSpan& span : frame.spans)
        if (column >= span.first && column <= span.last)
            return &span;
    return nullptr;
}

// What a cell's value is, in words: its row's caption (the group's, on a second row)
// and its column's heading. Under a "Cost / Power" span the first row of a group is
// the first of the two, a second row the other.
std::pair<QString, QString> cellName(const FrameLayout& frame, const GridRow& row,
                                     const QString& groupCaption, int column) {
    QString caption = row.caption.empty() ? groupCaption : text(row.caption);
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    QString heading = text(frame.headings.at(static_cast<std::size_t>(column)));
    if (const ColumnSpan* span = spanOver(frame, column)) {
        const QStringList parts = text(span->heading).split(QStringLiteral(" / "));
        const QString& part = parts.size() == 2 && !row.startsGroup ? parts[1] : parts[0];
        heading = part + QLatin1Char(' ') + heading;
    }
    return {caption, heading};
}

QLabel* addLabel(QWidget* parent, const QString& caption, const QRect& where,
                 Qt::Alignment alignment) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(where);
    label->setAlignment(alignment);
    return label;
}

void addLine(QWidget* parent, const QRect& where, QFrame::Shape shape) {
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Plain);
    setPaletteColour(line, QPalette::WindowText, QColor(160, 160, 160));
    line->setGeometry(where);
}

} // namespace

SettingsScreen::SettingsScreen(AppContext& context, const ScreenLayout& layout)
    : QWidget(nullptr, Qt::Window), context_(context), category_(layout.category) {
    setWindowTitle(text(layout.title));
    auto* content = new QWidget(this);
    rows_.resize(static_cast<std::size_t>(slotCount(category_)) + 1);
    const Metrics m(font());

    // Frames stacked in one place share their width and their caption column, so
    // that columns of the same name stand one above the other.
    std::map<int, int> placeWidth;
    std::map<int, int> placeCaption;
    for (const FrameLayout& frame : layout.frames)
        if (hasGrid(frame))
            placeCaption[frame.place] =
                std::max(placeCaption[frame.place], captionColumnWidth(frame, m));
    for (const FrameLayout& frame : layout.frames)
        if (hasGrid(frame))
            placeWidth[frame.place] = std::max(placeWidth[frame.place],
                                               naturalWidth(frame, placeCaption[frame.place], m));

    std::map<int, int> placeX;
    int x = kOuterMargin;
    for (const auto& [place, width] : placeWidth) {
        placeX[place] = x;
        x += width + kOuterMargin;
    }

    std::map<int, int> placeY;
    int height = 0;
    for (const FrameLayout& frame : layout.frames) {
        auto* box = new QGroupBox(text(frame.title), content);
        const int width = placeWidth[frame.place];
        const QSize size = hasGrid(frame) ? buildFrame(box, frame, width, placeCaption[frame.place])
                                          : buildNotes(box, frame, width);
        int& y = placeY.try_emplace(frame.place, kOuterMargin).first->second;
        box->setGeometry(placeX[frame.place], y, size.width(), size.height());
        y += size.height() + kOuterMargin;
        height = std::max(height, y);
    }
    content->setFixedSize(x, height);
    fitOnScreen(this, content);

    // Screen load: the values, then every "-" and "+" at rest.
    refreshValues();
    for (const auto& row : rows_)
        if (row)
            row->resetStepLabels();
    context_.setRefresher(refreshOrderOf(category_), [this] { refreshValues(); });
    registered_ = true;
}

SettingsScreen::~SettingsScreen() {
    unregister();
}

void SettingsScreen::closeEvent(QCloseEvent* event) {
    // A closed screen is gone for the editor at once, not only when Qt gets round to
    // deleting it.
    unregister();
    QWidget::closeEvent(event);
}

void SettingsScreen::unregister() {
    if (registered_)
        context_.clearRefresher(refreshOrderOf(category_));
    registered_ = false;
}

QSize SettingsScreen::buildFrame(QWidget* frame, const FrameLayout& layout, int width,
                                 int captionWidth) {
    const Metrics m(frame->font());
    const int columns = static_cast<int>(layout.headings.size());
    const int gridLeft = kFrameSide;
    const auto columnX = [&](int column) {
        return gridLeft + captionWidth + column * m.columnPitch;
    };

    // Headings: a span on the upper line with its columns' headings below it; a
    // heading without a span is centred over both lines.
    const int headTop = m.frameTop;
    const int headLines = layout.spans.empty() ? 1 : 2;
    const int headBottom = headTop + headLines * m.lineHeight;
    for (const ColumnSpan& span : layout.spans) {
        addLabel(frame, text(span.heading),
                 QRect(columnX(span.first), headTop, (span.last - span.first + 1) * m.columnPitch,
                       m.lineHeight),
                 Qt::AlignCenter);
    }
    for (int column = 0; column < columns; ++column) {
        const QString heading = text(layout.headings[static_cast<std::size_t>(column)]);
        if (heading.isEmpty())
            continue;
        const int top = spanOver(layout, column) ? headBottom - m.lineHeight : headTop;
        addLabel(frame, heading, QRect(columnX(column), top, m.columnPitch, headBottom - top),
                 Qt::AlignCenter);
    }

    const int pitch = m.rowPitch(layout.lined);
    const int inset = (m.columnPitch - m.row.width()) / 2;
    int y = headBottom;
    QString groupCaption;
    for (const GridRow& row : layout.rows) {
        if (!row.caption.empty())
            groupCaption = text(row.caption);
        if (row.gapBefore)
            y += pitch / 2;
        if (!row.noteBefore.empty()) {
            y += pitch / 2;
            addLabel(frame, text(row.noteBefore),
                     QRect(gridLeft, y, width - 2 * kFrameSide, m.lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter);
            y += m.lineHeight;
        }
        if (layout.lined && row.startsGroup)
            addLine(frame, QRect(gridLeft, y, columnX(columns) - gridLeft, 1), QFrame::HLine);
        const int cellTop = y + (pitch - m.row.height()) / 2;
        if (!row.caption.empty())
            addLabel(frame, text(row.caption),
                     QRect(gridLeft, cellTop, captionWidth - kCaptionGap / 2, m.row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter);
        for (int column = 0; column < columns && column < static_cast<int>(row.cells.size());
             ++column) {
            const int slot = row.cells[static_cast<std::size_t>(column)];
            if (slot == 0)
                continue;
            auto& cell = rows_.at(static_cast<std::size_t>(slot));
            Q_ASSERT(!cell); // every slot is shown once
            const Category category = category_;
            const auto [caption, heading] = cellName(layout, row, groupCaption, column);
            const QString where = windowTitle() + QStringLiteral(": ") + caption +
                                  (heading.isEmpty() ? QString() : QStringLiteral(", ") + heading);
            cell = std::make_unique<ValueRow>(
                context_, frame, slot,
                ValueRow::Hooks{[category, slot] { return SlotRef::of(category, slot); },
                                [this] { refreshValues(); },
                                (caption + QLatin1Char(' ') + heading).trimmed(),
                                [where] { return where; }});
            cell->place(QPoint(columnX(column) + inset, cellTop));
        }
        y += pitch;
    }

    if (layout.lined) {
        // Column separators; inside a span they start below the span's heading.
        for (int column = 0; column < columns; ++column) {
            const ColumnSpan* span = spanOver(layout, column);
            const bool inside = span && column > span->first;
            const int top = inside ? headBottom - m.lineHeight : headTop;
            addLine(frame, QRect(columnX(column), top, 1, y - top), QFrame::VLine);
        }
        addLine(frame, QRect(gridLeft, y, columnX(columns) - gridLeft, 1), QFrame::HLine);
    }
    return {width, y + kFrameBottom};
}

QSize SettingsScreen::buildNotes(QWidget* frame, const FrameLayout& layout, int width) {
    const Metrics m(frame->font());
    const int textWidth = width - 2 * kFrameSide;
    int y = m.frameTop;
    for (std::string_view note : layout.notes) {
        const QString caption = text(note);
        const int height =
            m.fm.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, caption).height();
        QLabel* label = addLabel(frame, caption, QRect(kFrameSide, y, textWidth, height),
                                 Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        y += height + 4;
    }
    return {width, y + kFrameBottom - 4};
}

void SettingsScreen::refreshValues() {
    for (std::size_t slot = 1; slot < rows_.size(); ++slot) {
        const SlotRef ref = SlotRef::of(category_, static_cast<int>(slot));
        rows_[slot]->show(context_.store.value(ref), context_.store.defaultValue(ref));
    }
}

} // namespace tavrel::screens
