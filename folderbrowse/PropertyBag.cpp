#include "folderbrowse/PropertyBag.h"

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    const auto found = values_.constFind(name);
    return found == values_.cend() ? defaultValue : *found;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    if (value == defaultValue) {
        if (values_.remove(name) > 0)
            order_.removeOne(name);
        return;
    }
    if (!values_.contains(name))
        order_.append(name);
    values_.insert(name, value);
}
