#include "resources/MorlanzResources.h"

#include <cstring>

namespace {

template <class T> const T* byName(const std::vector<T>& table, const char* name) {
    for (const auto& entry : table) {
        if (name && std::strcmp(entry.name, name) == 0)
            return &entry;
    }
    return nullptr;
}

const WBitmapTemplate* byId(const std::vector<WBitmapTemplate>& table, int id) {
    for (const auto& entry : table) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

const MorlanzResources& MorlanzResources::instance() {
    static const MorlanzResources resources;
    return resources;
}

const WFormTemplate* MorlanzResources::form(const char* name) const {
    for (const WFormTemplate* layout : {&form1Layout(), &form2Layout(), &form5Layout()}) {
        if (name && std::strcmp(layout->name, name) == 0)
            return layout;
    }
    return nullptr;
}

const WMenuTemplate* MorlanzResources::menu(const char* name) const {
    return byName(menuTables(), name);
}

const WAcceleratorTemplate* MorlanzResources::accelerators(const char* name) const {
    return byName(acceleratorTables(), name);
}

const WBitmapTemplate* MorlanzResources::bitmap(int id) const {
    return byId(bitmapTable(), id);
}

const WBitmapTemplate* MorlanzResources::icon(int id) const {
    return byId(iconTable(), id);
}
