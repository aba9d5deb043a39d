#pragma once

#include <QString>
#include <QWidget>

// The named child widget of the given type; a test cannot go on without it.
template<typename T>
T *child(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}
