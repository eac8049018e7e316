#include "platform/preferences/PSListItemsController.h"

#include "platform/preferences/PSListController.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITableViewCell.h"

CV_REGISTER_CLASS(PSListItemsController, UIViewController)

PSListItemsController::PSListItemsController(PSListController* list, PSSpecifier* row)
    : UIViewController(class_()), list_(list), row_(row) {
    setTitle(row ? row->name() : std::string());
}

void PSListItemsController::loadView(CGRect frame) {
    auto table = UIView::create<UITableView>(frame);
    table->setDataSource(std::static_pointer_cast<PSListItemsController>(shared_from_this()));
    table->setDelegate(std::static_pointer_cast<PSListItemsController>(shared_from_this()));
    table->reloadData();
    setView(table);
}

int PSListItemsController::numberOfRowsInSection(UITableView&, int) {
    return row_ ? int(row_->titleDictionary().size()) : 0;
}

std::shared_ptr<UITableViewCell> PSListItemsController::cellForRowAtIndexPath(UITableView&,
                                                                              NSIndexPath indexPath) {
    if (!row_ || indexPath.row < 0 || indexPath.row >= int(row_->titleDictionary().size())) {
        return nullptr;
    }
    const auto& [value, title] = row_->titleDictionary()[std::size_t(indexPath.row)];
    auto cell = UITableViewCell::cellWithStyle(UITableViewCellStyleDefault);
    cell->textLabel()->setText(title);
    const auto current = list_ ? list_->valueOf(row_) : std::nullopt;
    if (current && *current == value) cell->setAccessoryType(UITableViewCellAccessoryCheckmark);
    cell->layoutSubviews();
    return cell;
}

void PSListItemsController::didSelectRowAtIndexPath(UITableView&, NSIndexPath indexPath) {
    choose(std::size_t(indexPath.row));
}

bool PSListItemsController::choose(std::size_t index) {
    if (!row_ || !list_ || index >= row_->titleDictionary().size()) return false;
    list_->setValueOf(row_, row_->titleDictionary()[index].first);
    if (auto* navigation = navigationController()) navigation->popViewControllerAnimated(true);
    return true;
}
