#pragma once

// The Preferences classes, declared for headers that only name them.

#include <memory>

class PSListController;
class PSListItemsController;
class PSSpecifier;
class PSTableAdapter;

using PSSpecifierRef = std::shared_ptr<PSSpecifier>;
