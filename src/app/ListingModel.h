#pragma once

#include "core/TextLines.h"

#include "app/SharedListing.h"

#include <QtCore/QAbstractListModel>
#include <QtCore/QSize>
#include <QtGui/QColor>
#include <QtGui/QFont>

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
    explicit ListingModel(const SharedListing& listing, QObject* parent = nullptr);

    // The font the view shows the lines in: every row is as wide as the
    // widest line in it, so a long line scrolls sideways instead of being cut.
    void setFont(const QFont& font) { font_ = font; }
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const SharedListing& listing_; // the session's, which a new read replaces
    QFont font_;
    int rows_ = 0;
    QSize rowSize_;
};

// Plain lines (the generated source) for a list view, read the same way.
class LinesModel : public QAbstractListModel {
  public:
    explicit LinesModel(const TextLines& lines, QObject* parent = nullptr);

    void setFont(const QFont& font) { font_ = font; }
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const TextLines& lines_;
    QFont font_;
    int rows_ = 0;
    QSize rowSize_;
};

// A line a rewritten jump is shown in.
[[nodiscard]] QColor rewrittenLineBackground();

} // namespace travonix
