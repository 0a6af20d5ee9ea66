#include "shell/windowregistry.h"

#include <QHash>

namespace veil {

namespace {
QHash<QString, WindowFactory>& factories() {
    static QHash<QString, WindowFactory> f;
    return f;
}
} // namespace

void registerWindow(const QString& name, WindowFactory factory) {
    factories().insert(name, std::move(factory));
}

const WindowFactory* windowFactory(const QString& name) {
    const auto it = factories().constFind(name);
    return it == factories().constEnd() ? nullptr : &it.value();
}

} // namespace veil
