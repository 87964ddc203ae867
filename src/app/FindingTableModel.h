#pragma once

#include "app/Session.h"

#include <QtCore/QAbstractTableModel>
#include <QtGui/QColor>
#include <QtGui/QIcon>

#include <vector>

namespace travonix {

// The relocation check's findings of the last make run for a table view, one
// row each, in four columns: function, address (eight hexadecimal digits),
// kind and sentence. Every cell's tooltip is the sentence in full, which is
// often wider than its column.
class FindingTableModel : public QAbstractTableModel {
  public:
    enum Column { FunctionColumn, AddressColumn, KindColumn, SentenceColumn, ColumnCount };

    explicit FindingTableModel(const std::vector<ShownFinding>& findings,
                               QObject* parent = nullptr);

    void setIcon(const QIcon& icon) { icon_ = icon; }
    // Takes the row count anew (see ListingModel::reload).
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::vector<ShownFinding>& findings_;
    QIcon icon_;
    int rows_ = 0;
};

// The text colour of a function that has findings.
[[nodiscard]] QColor findingForeground();

} // namespace travonix
