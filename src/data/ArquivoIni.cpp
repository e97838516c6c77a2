#include "data/ArquivoIni.h"

#include "base/EErro.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>
// Byte-wise reading: the file is Latin-1 and no conversion is wanted.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace marvek {

namespace {
// A settings file is a few hundred bytes; anything far beyond that is not one.
constexpr qint64 TamanhoMaximoIni = 4 * 1024 * 1024;

bool carregar(const QString& arquivo, CSimpleIniA& ini) {
    QFile f(arquivo);
    // Missing means "no such file" only: a folder on the way that this user may not enter
    // hides a file that is there.
    std::error_code ec;
    if (std::filesystem::status(QFile::encodeName(arquivo).toStdString(), ec).type() ==
        std::filesystem::file_type::not_found)
        return false;
    // A file that is there but cannot be read is never taken for a missing one: its defaults
    // would reach the server as another user and password.
    const bool pasta = QFileInfo(arquivo).isDir();
    if (ec || pasta || !f.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("O arquivo de configuração %1 existe, mas não pode ser lido "
                                   "(%2). Execute como root ou dê a este usuário permissão de "
                                   "leitura; nada foi feito.")
                        .arg(arquivo, pasta ? QStringLiteral("é uma pasta")
                                      : ec  ? QString::fromLocal8Bit(ec.message())
                                            : f.errorString()));
    if (f.size() > TamanhoMaximoIni)
        throw EErro(QStringLiteral("O arquivo %1 não é um arquivo de configuração válido "
                                   "(tamanho de %2 bytes)")
                        .arg(arquivo)
                        .arg(f.size()));
    QByteArray dados = f.readAll();
    // A stray NUL byte would end the text for the parser; it counts as a blank instead, so
    // the lines after it are still read.
    dados.replace('\0', ' ');
    ini.SetUnicode(false);
    ini.SetMultiKey(true);
    return ini.LoadData(dados.constData(), static_cast<size_t>(dados.size())) >= 0;
}
} // namespace

QString LerTextoIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& padrao) {
    CSimpleIniA ini;
    if (!carregar(arquivo, ini))
        return padrao;
    const QByteArray s = secao.toLatin1();
    const QByteArray k = chave.toLatin1();
    const char* valor = ini.GetValue(s.constData(), k.constData(), nullptr);
    if (!valor)
        return padrao;
    return QString::fromLatin1(valor);
}

} // namespace marvek
