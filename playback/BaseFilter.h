#pragma once

#include "playback/GstHandle.h"

#include <QString>

// One element that is put into a graph by hand (a capture device's source), rather than chosen by
// the graph for a file. It carries the name it was given when it was added to a graph.
class IBaseFilter
{
public:
    explicit IBaseFilter(GstElementHandle element) : m_element(std::move(element)) {}

    GstElement* Element() const { return m_element.get(); }
    // A filter goes into one graph, once.
    bool IsInGraph() const { return m_bInGraph; }
    const QString& Name() const { return m_strName; }
    void AddedAs(const QString& name)
    {
        m_strName = name;
        m_bInGraph = true;
    }

private:
    GstElementHandle m_element;
    QString m_strName;
    bool m_bInGraph = false;
};
