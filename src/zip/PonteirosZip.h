#pragma once

#include <QString>
#include <memory>
#include <zip.h>

namespace marvek {

// Owners of the archive library's handles, so that every path closes them. An archive opened
// for writing is discarded unless zip_close succeeded and the owner was released.
struct FecharZip {
    void operator()(zip_t* z) const {
        if (z)
            zip_discard(z);
    }
};
using ZipPtr = std::unique_ptr<zip_t, FecharZip>;

struct FecharEntrada {
    void operator()(zip_file_t* f) const {
        if (f)
            zip_fclose(f);
    }
};
using EntradaZipPtr = std::unique_ptr<zip_file_t, FecharEntrada>;

struct LiberarFonte {
    void operator()(zip_source_t* s) const {
        if (s)
            zip_source_free(s);
    }
};
using FonteZipPtr = std::unique_ptr<zip_source_t, LiberarFonte>;

// The library's text for one of its error codes.
inline QString TextoErroZip(int codigo) {
    zip_error_t e;
    zip_error_init_with_code(&e, codigo);
    const QString texto = QString::fromLocal8Bit(zip_error_strerror(&e));
    zip_error_fini(&e);
    return texto;
}

} // namespace marvek
