#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

// The control of the given name and kind inside parent. The window looks up every control that the job
// table and the settings table name once, as it is made: a name that the form lacks, or a control of
// another kind, stops the program there with this exception, rather than at the first tick.
template <typename Control>
Control* requireControl(const QObject& parent, const char* name)
{
    auto* control = parent.findChild<Control*>(QLatin1String(name));
    if (!control)
        throw std::logic_error(std::string(qPrintable(parent.objectName())) + " has no control " + name + " of kind " +
                               Control::staticMetaObject.className());
    return control;
}
