#pragma once

#include "core/Listing.h"

#include <QtCore/QAbstractListModel>
#include <QtGui/QColor>

#include <string>
#include <vector>

namespace travonix {

// The loaded listing for a list view. Rows are read from the listing when
// the view paints them, so a listing of half a million lines opens at once.
// The row count is taken at reload(): a step may change the listing while a
// box of its own is open, and the view must not see rows come and go before
// the window shows the step's result.
class ListingModel : public QAbstractListModel {
  public:
    explicit ListingModel(const Listing& listing, QObject* parent = nullptr);

    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const Listing& listing_;
    int rows_ = 0;
};

// Plain lines (the generated source) for a list view, read the same way.
class LinesModel : public QAbstractListModel {
  public:
    explicit LinesModel(const std::vector<std::string>& lines, QObject* parent = nullptr);

    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const std::vector<std::string>& lines_;
    int rows_ = 0;
};

// A line a rewritten jump is shown in.
[[nodiscard]] QColor rewrittenLineBackground();

} // namespace travonix
