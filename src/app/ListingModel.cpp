#include "app/ListingModel.h"

#include "app/WindowText.h"

#include <limits>

namespace travonix {

namespace {

int rowsOf(std::size_t count) {
    constexpr auto kMostRows = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(count < kMostRows ? count : kMostRows);
}

} // namespace

QColor rewrittenLineBackground() {
    return {0, 112, 144};
}

ListingModel::ListingModel(const Listing& listing, QObject* parent)
    : QAbstractListModel(parent), listing_(listing) {}

void ListingModel::reload() {
    beginResetModel();
    rows_ = rowsOf(listing_.size());
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

LinesModel::LinesModel(const std::vector<std::string>& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines) {}

void LinesModel::reload() {
    beginResetModel();
    rows_ = rowsOf(lines_.size());
    endResetModel();
}

int LinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= lines_.size() || role != Qt::DisplayRole)
        return {};
    return shown(lines_[row]);
}

} // namespace travonix
