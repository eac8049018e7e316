#include "platform/preferences/PSTableAdapter.h"

#include "platform/foundation/NumberValues.h"
#include "platform/preferences/PSListController.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISlider.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITableViewCell.h"

#include <cmath>
#include <cstdio>

void PSTableAdapterControlChanged(id self, SEL, id sender, UIEvent*) {
    static_cast<PSTableAdapter*>(self)->controlChanged(sender);
}

namespace {

const std::string* stringProperty(const PSSpecifier& row, std::string_view key) {
    const PlistValue* value = row.property(key);
    return value ? value->as<std::string>() : nullptr;
}

float numberProperty(const PSSpecifier& row, std::string_view key, float fallback) {
    const PlistValue* value = row.property(key);
    const auto number = value ? doubleValue(*value) : std::nullopt;
    return number ? static_cast<float>(*number) : fallback;
}

// A slider's value as the row shows it beside the slider, when it asks to ("showValue").
std::string shownValue(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

Class PSTableAdapter::class_() {
    static const Class cls = objc_defineClass(
        "PSTableAdapter", NSObject::class_(),
        {PSTableAdapterMessage::switchChanged.implementedBy(&PSTableAdapterControlChanged),
         PSTableAdapterMessage::sliderChanged.implementedBy(&PSTableAdapterControlChanged)});
    return cls;
}

PSTableAdapter::PSTableAdapter(PSListController* controller)
    : NSObject(class_()), controller_(controller) {}

void PSTableAdapter::reload(UITableView& table) {
    sections_.clear();
    controls_.clear();
    sections_.push_back({});
    for (const auto& row : controller_->specifiers()) {
        if (row->cellType() == PSCellType::Group) {
            if (sections_.back().group || !sections_.back().rows.empty()) sections_.push_back({});
            sections_.back().group = row.get();
        } else {
            sections_.back().rows.push_back(row.get());
        }
    }
    table.reloadData();
}

PSSpecifier* PSTableAdapter::specifierAt(NSIndexPath indexPath) const {
    if (indexPath.section < 0 || indexPath.section >= int(sections_.size())) return nullptr;
    const auto& rows = sections_[std::size_t(indexPath.section)].rows;
    if (indexPath.row < 0 || indexPath.row >= int(rows.size())) return nullptr;
    return rows[std::size_t(indexPath.row)];
}

int PSTableAdapter::numberOfSectionsInTableView(UITableView&) { return int(sections_.size()); }

int PSTableAdapter::numberOfRowsInSection(UITableView&, int section) {
    if (section < 0 || section >= int(sections_.size())) return 0;
    return int(sections_[std::size_t(section)].rows.size());
}

std::string PSTableAdapter::titleForHeaderInSection(UITableView&, int section) {
    if (section < 0 || section >= int(sections_.size())) return {};
    const PSSpecifier* group = sections_[std::size_t(section)].group;
    return group ? group->name() : std::string();
}

std::string PSTableAdapter::titleForFooterInSection(UITableView&, int section) {
    if (section < 0 || section >= int(sections_.size())) return {};
    const PSSpecifier* group = sections_[std::size_t(section)].group;
    const std::string* footer = group ? stringProperty(*group, "footerText") : nullptr;
    return footer ? *footer : std::string();
}

std::shared_ptr<UITableViewCell> PSTableAdapter::cellForRowAtIndexPath(UITableView& tableView,
                                                                       NSIndexPath indexPath) {
    PSSpecifier* row = specifierAt(indexPath);
    return row ? cellFor(*row, tableView.bounds().size.width) : nullptr;
}

std::shared_ptr<UITableViewCell> PSTableAdapter::cellFor(PSSpecifier& row, CGFloat width) {
    const auto value = controller_->valueOf(&row);
    auto cell = UITableViewCell::cellWithStyle(row.cellType() == PSCellType::LinkList
                                                   ? UITableViewCellStyleValue1
                                                   : UITableViewCellStyleDefault);
    cell->textLabel()->setText(row.name());
    switch (row.cellType()) {
        case PSCellType::Switch: {
            auto control = UIView::create<UISwitch>(CGRect{CGPointZero, UISwitch::kSize});
            control->setOn(value && boolValue(*value).value_or(false));
            control->addTarget(this, PSTableAdapterMessage::switchChanged.selector(),
                               UIControlEventValueChanged);
            controls_[control.get()] = &row;
            cell->setAccessoryView(control);
            cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
            break;
        }
        case PSCellType::Slider: {
            auto control = UIView::create<UISlider>(CGRectMake(0, 0, width - 60, UISlider::kHeight));
            control->setMinimumValue(numberProperty(row, "min", 0));
            control->setMaximumValue(numberProperty(row, "max", 1));
            control->setValue(value ? static_cast<float>(doubleValue(*value).value_or(0)) : 0);
            control->setContinuous(false);
            control->addTarget(this, PSTableAdapterMessage::sliderChanged.selector(),
                               UIControlEventValueChanged);
            controls_[control.get()] = &row;
            cell->setAccessoryView(control);
            cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
            const PlistValue* show = row.property("showValue");
            if (show && boolValue(*show).value_or(false)) {
                cell->textLabel()->setText(shownValue(control->value()));
            }
            break;
        }
        case PSCellType::LinkList: {
            const std::string* title = value ? row.titleOfValue(*value) : nullptr;
            if (cell->detailTextLabel()) cell->detailTextLabel()->setText(title ? *title : "");
            cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
            break;
        }
        case PSCellType::Button:
            cell->textLabel()->setTextAlignment(UITextAlignmentCenter);
            break;
        default:
            cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
            break;
    }
    cell->layoutSubviews();
    return cell;
}

void PSTableAdapter::controlChanged(const NSObject* control) {
    const auto found = controls_.find(control);
    if (found == controls_.end()) return;
    PSSpecifier* row = found->second;
    if (const auto* toggle = objc_cast<UISwitch>(const_cast<NSObject*>(control))) {
        controller_->setValueOf(row, PlistValue(toggle->isOn()));
    } else if (const auto* slider = objc_cast<UISlider>(const_cast<NSObject*>(control))) {
        controller_->setValueOf(row, PlistValue(static_cast<double>(slider->value())));
    }
}

void PSTableAdapter::didSelectRowAtIndexPath(UITableView&, NSIndexPath indexPath) {
    PSSpecifier* row = specifierAt(indexPath);
    if (!row) return;
    if (row->cellType() == PSCellType::Button) controller_->press(row);
    if (row->cellType() == PSCellType::LinkList) controller_->showChoices(row);
}
