#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

// The saved properties of a control on its container: named values plus the control's
// extent. A value equal to its default is never stored, so a control saved with its
// defaults leaves no entries behind.
class PropertyBag {
public:
    // The stored value, or defaultValue when the bag holds none under that name.
    [[nodiscard]] QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const;
    // Stores value, unless it equals defaultValue; then an entry left from an earlier
    // save is removed, so reading gives the default again.
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);

    [[nodiscard]] bool Contains(const QString& name) const { return values_.contains(name); }
    // Stored names, in the order they were first written.
    [[nodiscard]] QStringList Keys() const { return order_; }

    // The control's size in HIMETRIC units (1/100 mm); empty until recorded.
    [[nodiscard]] QSize Extent() const { return extent_; }
    void setExtent(QSize himetric) { extent_ = himetric; }

private:
    QHash<QString, QVariant> values_;
    QStringList order_;
    QSize extent_;
};
