// Loading the GraphicsMagick module on first use, from the folder of the running program.
#include "imaging/magick_decoder.h"

#include <QFileInfo>
#include <dlfcn.h>
#include <mutex>

namespace orv {

MagickDecodeFunction magickDecoder()
{
    static MagickDecodeFunction decode = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        const QString dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
        if (dir.isEmpty()) return;
        const QByteArray path = QFile::encodeName(dir + "/" + QString::fromLatin1(kMagickModuleName));
        void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) return;
        decode = reinterpret_cast<MagickDecodeFunction>(dlsym(module, kMagickDecodeSymbol));
    });
    return decode;
}

} // namespace orv
