#include "ModeList.h"

namespace ModeList {

const QList<Mode>& modes() {
    static const QList<Mode> list = {
        {"rtty-u", Kind::Rtty, 170, false, 45.45, "Baudot"},
        {"rtty-l", Kind::Rtty, 170, true, 45.45, "Baudot"},
        {"rtty-u-w", Kind::Rtty, 850, false, 45.45, "Baudot"},
        {"rtty-l-w", Kind::Rtty, 850, true, 45.45, "Baudot"},
        {"bpsk", Kind::Bpsk, 0, false, 31.25, "Varicode"},
        {"qpsk", Kind::Qpsk, 0, false, 31.25, "Varicode"},
    };
    return list;
}

int indexOf(const QString& name) {
    const QList<Mode>& list = modes();
    for (int i = 0; i < list.size(); ++i)
        if (list[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace ModeList
