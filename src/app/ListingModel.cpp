#include "app/ListingModel.h"

#include "app/WindowText.h"

#include <QtGui/QFontMetrics>

#include <algorithm>
#include <limits>

namespace travonix {

namespace {

int rowsOf(std::size_t count) {
    constexpr auto kMostRows = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(count < kMostRows ? count : kMostRows);
}

// Room for a line of `characters` characters and `tabs` TABs in the font:
// a TAB moves on to the next stop at most 80 pixels on (the text layout's
// default), so this is never too narrow. Found from the line records, so a
// long listing is not read for it.
QSize rowSizeFor(const QFont& font, std::size_t characters, std::size_t tabs) {
    constexpr std::size_t kTabStop = 80;
    constexpr int kPadding = 12;
    const QFontMetrics metrics(font);
    const std::size_t width =
        characters * static_cast<std::size_t>(metrics.horizontalAdvance(QLatin1Char('0'))) +
        tabs * kTabStop;
    return {static_cast<int>(std::min<std::size_t>(width, 1U << 20)) + kPadding,
            metrics.height() + 2};
}

} // namespace

QColor rewrittenLineBackground() {
    return {0, 112, 144};
}

ListingModel::ListingModel(const SharedListing& listing, QObject* parent)
    : QAbstractListModel(parent), listing_(listing) {}

void ListingModel::reload() {
    beginResetModel();
    rows_ = rowsOf(listing_.size());
    std::size_t widest = 0;
    std::size_t widestTabs = 0;
    for (const ListingLine& line : listing_.lines()) {
        if (line.textLength + 10U * line.tabCount > widest + 10U * widestTabs) {
            widest = line.textLength;
            widestTabs = line.tabCount;
        }
    }
    rowSize_ = rowSizeFor(font_, widest, widestTabs);
    endResetModel();
}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= listing_.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return shown(listing_.text(row));
    case Qt::SizeHintRole:
        return rowSize_;
    case Qt::BackgroundRole:
        return listing_.line(row).rewritten ? QVariant(rewrittenLineBackground()) : QVariant();
    case Qt::ForegroundRole:
        return listing_.line(row).rewritten ? QVariant(QColor(Qt::white)) : QVariant();
    case Qt::ToolTipRole:
        return listing_.line(row).rewritten ? QVariant(QStringLiteral("Rewritten as a branch"))
                                            : QVariant();
    default:
        return {};
    }
}

LinesModel::LinesModel(const TextLines& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines) {}

void LinesModel::reload() {
    beginResetModel();
    rows_ = rowsOf(lines_.size());
    std::size_t widest = 0;
    for (std::string_view line : lines_)
        widest = std::max(widest, line.size());
    rowSize_ = rowSizeFor(font_, widest, 0);
    endResetModel();
}

int LinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= lines_.size())
        return {};
    if (role == Qt::SizeHintRole)
        return rowSize_;
    return role == Qt::DisplayRole ? QVariant(shown(lines_[row])) : QVariant();
}

} // namespace travonix
