#pragma once

#include "core/Listing.h"

#include <QtCore/QAbstractListModel>

#include <vector>

namespace travonix {

// The functions found, by name, for a list view whose selection is the
// functions' selected state (the window keeps the two in step).
class FunctionListModel : public QAbstractListModel {
  public:
    explicit FunctionListModel(const std::vector<FunctionEntry>& functions,
                               QObject* parent = nullptr);

    // Takes the row count anew (see ListingModel::reload).
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const std::vector<FunctionEntry>& functions_;
    int rows_ = 0;
};

} // namespace travonix
