#pragma once

#include <QPixmap>
#include <functional>
#include <utility>

// A picture read by its loader when it is first drawn, not when it is
// chosen: a window goes on the screen without waiting for its files. A
// loader that finds no picture gives a null one.
class LazyPicture {
public:
    LazyPicture() = default;
    explicit LazyPicture(std::function<QPixmap()> load) : m_load(std::move(load)) {}

    const QPixmap& get()
    {
        if (m_load)
            m_picture = std::exchange(m_load, nullptr)();
        return m_picture;
    }

private:
    std::function<QPixmap()> m_load; // set until the picture is read
    QPixmap m_picture;
};
