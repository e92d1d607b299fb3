#include "screens/slot_captions.h"

#include "core/catalogue.h"
#include "editing/creature_grid.h"
#include "screens/creatures/creature_screen.h"
#include "screens/tables/screen_layouts.h"

namespace tavrel::screens {

namespace {

QString fromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

QString withoutColon(std::string_view caption) {
    QString text = fromCore(caption);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

// A table screen's caption of a cell: its row group's caption, the heading spanning
// its column (the part of "Cost / Power" for the group's first or second row) and
// its column's heading where a frame has several.
QString tableCaption(SlotRef ref) {
    for (const FrameLayout& frame : screenLayout(ref.category).frames) {
        QString group;
        int rowInGroup = 0;
        for (const GridRow& row : frame.rows) {
            rowInGroup = row.caption.empty() ? rowInGroup + 1 : 0;
            if (!row.caption.empty())
                group = withoutColon(row.caption);
            for (std::size_t column = 0; column < row.cells.size(); ++column) {
                if (row.cells[column] != ref.slot)
                    continue;
                QStringList parts{group};
                const int at = static_cast<int>(column);
                for (const ColumnSpan& span : frame.spans)
                    if (at >= span.first && at <= span.last) {
                        const QStringList names =
                            fromCore(span.heading).split(QStringLiteral(" / "));
                        parts << names.value(std::min<qsizetype>(rowInGroup, names.size() - 1));
                    }
                if (frame.headings.size() > 1 && column < frame.headings.size())
                    parts << fromCore(frame.headings[column]);
                parts.removeAll(QString());
                return parts.join(QLatin1Char(' '));
            }
        }
    }
    return QStringLiteral("Slot %1").arg(ref.slot);
}

} // namespace

QString screenCaption(Category category) {
    if (category == Category::Creature)
        return QStringLiteral("Creature Settings");
    return fromCore(screenLayout(category).title);
}

QString slotCaption(SlotRef ref) {
    if (ref.category == Category::Creature)
        return creatureFieldCaption(ref.slot);
    return tableCaption(ref);
}

QString describeSlot(SlotRef ref) {
    QStringList parts{screenCaption(ref.category)};
    if (ref.category == Category::Creature)
        parts << fromCore(creatureKind(ref.kind).screenName);
    parts << slotCaption(ref);
    return parts.join(QStringLiteral(", "));
}

QString valueText(SlotRef ref, std::int32_t value) {
    return ref.category == Category::Creature ? fromCore(cellText(ref.kind, ref.slot, value))
                                              : QString::number(value);
}

QString originText(const ValueOrigins& origins, SlotRef ref, std::int32_t now) {
    const ValueOrigins::Origin origin = origins.of(recordOf(ref), now);
    if (origin.kind == ValueOrigins::Origin::Kind::Unknown)
        return {};
    const QString setBy = origin.layer.empty()
                              ? QStringLiteral("no KeeperFX file, the factory value")
                              : QString::fromStdString(origin.layer);
    if (origin.kind == ValueOrigins::Origin::Kind::Read)
        return QStringLiteral("Set by: ") + setBy;
    return QStringLiteral("Edited; was %1, set by: %2")
        .arg(valueText(ref, origin.readValue), setBy);
}

QString describeStep(const HistoryStep& step) {
    if (!step.what.empty() || step.changes.empty())
        return fromCore(step.what);
    return describeSlot(slotOfRecord(step.changes.front().record));
}

} // namespace tavrel::screens
