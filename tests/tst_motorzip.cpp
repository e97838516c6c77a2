#include "base/EErro.h"
#include "plataforma/GrupoDeTrabalho.h"
#include "zip/Compactador.h"
#include "zip/DescricaoArquivo.h"
#include "zip/MotorZip.h"

#include "support/Compactar.h"
#include "support/Erros.h"
#include <QTemporaryDir>

#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <zip.h>

using namespace marvek;

class TstMotorZip : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString arquivo(const QString& nome, const QByteArray& dados) {
        const QString caminho = m_dir.filePath(nome);
        QFile f(caminho);
        f.open(QIODevice::WriteOnly);
        f.write(dados);
        return caminho;
    }

    // An archive written with the library directly, for names this program never writes.
    QString zipComNomes(const QString& nome, const QStringList& entradas, bool link = false) {
        const QString caminho = m_dir.filePath(nome);
        int erro = 0;
        zip_t* z =
            zip_open(QFile::encodeName(caminho).constData(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
        for (const QString& e : entradas) {
            static const char dados[] = "conteudo";
            zip_source_t* s = zip_source_buffer(z, dados, sizeof dados, 0);
            const zip_int64_t i = zip_file_add(z, e.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8);
            if (link)
                zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX,
                                                 (0120777u) << 16);
        }
        zip_close(z);
        return caminho;
    }

private slots:
    void idaEVolta() {
        QByteArray grande(1200000, '\0');
        for (qsizetype i = 0; i < grande.size(); ++i)
            grande[i] = static_cast<char>('0' + (i * 7919 / 13) % 10);
        const QStringList arquivos = {
            arquivo("caixa.frm", "definicao"), arquivo("caixa.MYD", grande),
            arquivo("foto.jpg", QByteArray(5000, 'j')), arquivo("vazio.MYD", QByteArray())};
        const QString zip = m_dir.filePath("saida/Backup_Central.zip");
        QVERIFY(QDir().mkpath(m_dir.filePath("saida")));
        int chamadas = 0;
        CompactarArquivos(zip, arquivos, [&] { ++chamadas; });
        const QList<TEntradaZip> entradas = ListarEntradas(zip);
        QCOMPARE(entradas.size(), 4);
        QCOMPARE(entradas[1].nome, QString("caixa.MYD"));
        QCOMPARE(entradas[1].tamanho, quint64(grande.size()));
        QVERIFY(entradas[1].comprimido < entradas[1].tamanho / 2);
        QCOMPARE(entradas[2].comprimido, entradas[2].tamanho + 0); // stored
        TestarZip(zip);
        const QString destino = m_dir.filePath("extraido");
        QVERIFY(QDir().mkpath(destino));
        ExtrairZip(zip, destino);
        QFile f(destino + "/caixa.MYD");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), grande);
        QVERIFY(QFile::exists(destino + "/vazio.MYD"));
        // never overwrites
        QVERIFY(teste::ErroDe([&] { ExtrairZip(zip, destino); }).contains("já existe"));
        // no temporary file left beside the archive
        QCOMPARE(QDir(m_dir.filePath("saida")).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Backup_Central.zip"}));
    }

    void blocosDeUmMegabyte() {
        // sizes at and around the compressor's block boundaries, compressible and not
        QStringList arquivos;
        QList<QByteArray> conteudos;
        quint32 x = 12345;
        for (const qint64 tamanho :
             {qint64(1) << 20, (qint64(2) << 20) + 1, (qint64(3) << 20) - 1}) {
            QByteArray d(tamanho, '\0');
            for (qint64 i = 0; i < tamanho; ++i) {
                x = x * 1103515245u + 12345u;
                d[i] = static_cast<char>(tamanho % 2 ? (x >> 24) : ('a' + (i / 700) % 26));
            }
            conteudos << d;
            arquivos << arquivo(QString("bloco%1.MYD").arg(tamanho), d);
        }
        const QString zip = m_dir.filePath("blocos.zip");
        CompactarArquivos(zip, arquivos);
        const QString destino = m_dir.filePath("blocos");
        QVERIFY(QDir().mkpath(destino));
        ExtrairZip(zip, destino);
        for (int i = 0; i < arquivos.size(); ++i) {
            QFile f(destino + "/" + QFileInfo(arquivos[i]).fileName());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll() == conteudos[i]);
        }
    }

    void umFluxoPorArquivo() {
        // Files of two and three blocks whose blocks differ in kind (text, noise, runs), so the
        // joins fall on every kind of block end; other readers must see one sound stream.
        QStringList arquivos;
        QList<QByteArray> conteudos;
        quint32 x = 777;
        for (int n = 0; n < 12; ++n) {
            QByteArray d((qint64(1) << 20) * (2 + n % 2) + n * 4099, '\0');
            for (qsizetype i = 0; i < d.size(); ++i) {
                x = x * 1103515245u + 12345u;
                const int tipo = static_cast<int>((i >> 20) + n) % 3;
                d[i] = tipo == 0   ? static_cast<char>("tabela produtos "[(i + n) % 16] + (x >> 30))
                       : tipo == 1 ? static_cast<char>(x >> 24)
                                   : static_cast<char>('0' + (i / (n + 3)) % 4);
            }
            conteudos << d;
            arquivos << arquivo(QString("fluxo%1.MYD").arg(n), d);
        }
        const QString zip = m_dir.filePath("fluxos.zip");
        CompactarArquivos(zip, arquivos);
        QProcess unzip;
        unzip.start("unzip", {"-tq", zip});
        QVERIFY(unzip.waitForFinished(60000));
        QVERIFY2(unzip.exitCode() == 0, unzip.readAll().constData());
        const QString destino = m_dir.filePath("fluxos");
        QVERIFY(QDir().mkpath(destino));
        ExtrairZip(zip, destino);
        for (int i = 0; i < arquivos.size(); ++i) {
            QFile f(destino + "/" + QFileInfo(arquivos[i]).fileName());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(f.readAll() == conteudos[i], qPrintable(arquivos[i]));
        }
    }

    void sufixosSemCompressao() {
        QVERIFY(ArmazenarSemCompressao("a.JPG"));
        QVERIFY(ArmazenarSemCompressao("b.dvr-ms"));
        QVERIFY(ArmazenarSemCompressao("c.z"));
        QVERIFY(!ArmazenarSemCompressao("caixa.MYD"));
        QVERIFY(!ArmazenarSemCompressao("caixa.frm"));
        QVERIFY(!ArmazenarSemCompressao("semponto"));
    }

    void arquivosHostisOuDanificados() {
        QVERIFY(teste::ErroDe([&] {
                    ListarEntradas(m_dir.filePath("nao_existe.zip"));
                }).contains("não existe"));
        const QString texto = arquivo("texto.zip", "isto nao e um zip");
        QVERIFY(
            teste::ErroDe([&] { ListarEntradas(texto); }).contains("não é um arquivo ZIP válido"));
        for (const QString& nome :
             {QString("../fora.MYD"), QString("/etc/x.frm"), QString("pasta\\a.frm"),
              QString("sub/a.frm"), QString("C:a.frm")}) {
            const QString z = zipComNomes("hostil.zip", {nome});
            const QString erro = teste::ErroDe([&] { ListarEntradas(z); });
            QVERIFY2(erro.contains("nome simples"), qPrintable(nome + ": " + erro));
        }
        QVERIFY(teste::ErroDe([&] {
                    ListarEntradas(zipComNomes("dup.zip", {"a.frm", "A.FRM"}));
                }).contains("repetida"));
        QVERIFY(teste::ErroDe([&] {
                    ListarEntradas(zipComNomes("link.zip", {"a.frm"}, true));
                }).contains("link"));

        // a flipped byte inside the compressed data: the CRC check finds it
        const QString bom = m_dir.filePath("bom.zip");
        CompactarArquivos(bom,
                          {arquivo("t.MYD", QByteArray(100000, 'x') + QByteArray::number(42))});
        QFile f(bom);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray dados = f.readAll();
        dados[60] = static_cast<char>(dados[60] ^ 0x55);
        f.seek(0);
        f.write(dados);
        f.close();
        QVERIFY(!teste::ErroDe([&] { TestarZip(bom); }).isEmpty());
        const QString destino = m_dir.filePath("crc");
        QVERIFY(QDir().mkpath(destino));
        QVERIFY(!teste::ErroDe([&] { ExtrairZip(bom, destino); }).isEmpty());
        QVERIFY(!QFile::exists(destino + "/t.MYD")); // a damaged entry leaves no file

        // truncated archive
        QFile t(bom);
        QVERIFY(t.resize(dados.size() / 2));
        QVERIFY(!teste::ErroDe([&] { ListarEntradas(bom); }).isEmpty());
    }

    // The worker group: an exception of any type comes back to the caller, the group takes
    // work again afterwards, and when the waiting side raises, the running task is told to stop
    // and has ended before the exception arrives.
    void grupoDeTrabalho() {
        TGrupoDeTrabalho grupo(2);
        for (int i = 0; i < 8; ++i)
            grupo.Enviar([i] {
                if (i == 3)
                    throw std::bad_alloc();
            });
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, grupo.Aguardar());
        std::atomic<int> feita{0};
        grupo.Enviar([&] { feita = 1; });
        grupo.Aguardar();
        QCOMPARE(feita.load(), 1);

        std::atomic<bool> rodando{false};
        grupo.Enviar([&] {
            rodando = true;
            while (!grupo.Falhou())
                std::this_thread::yield();
            rodando = false;
        });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 grupo.Aguardar([] { throw std::runtime_error("janela"); }));
        QVERIFY(!rodando);
    }

    void semArquivos() {
        const QString zip = m_dir.filePath("vazio.zip");
        CompactarArquivos(zip, {});
        QCOMPARE(ListarEntradas(zip).size(), 0);
        QVERIFY(!DescricaoDoArquivo(zip)); // an archive without a comment describes nothing
    }

    // The archive's comment carries its description there and back; another tool's comment is
    // none, and what a hand-made one says reaches the screen as one plain line.
    void descricaoNoComentario() {
        const QString zip = m_dir.filePath("descrito.zip");
        TDescricaoArquivo d;
        d.filial = 12;
        d.nomeFilial = QString::fromUtf8("Loja\nCentro ção");
        d.banco = "gerente";
        d.data = QDateTime(QDate(2026, 12, 10), QTime(23, 30, 1));
        d.versao = "1.0.0";
        TCompactador c(zip);
        c.DefinirComentario(TextoDaDescricao(d));
        c.Concluir({arquivo("d.txt", "dados")});
        const auto lida = DescricaoDoArquivo(zip);
        QVERIFY(lida);
        QCOMPARE(ResumoDaDescricao(*lida),
                 QString::fromUtf8("filial 12 (Loja Centro ção), banco gerente, 2026-12-10 "
                                   "23:30:01, Marvek 1.0.0"));
        QVERIFY(!LerDescricao("criado por outro programa\nfilial=3"));
        QVERIFY(!LerDescricao("Marvek Backup_Central\nfilial=tres"));
        const auto hostil = LerDescricao(
            "Marvek Backup_Central\r\nfilial=3\r\nnome_filial=a\x1b[2Jb" + QString(100000, 'x'));
        QVERIFY(hostil);
        QCOMPARE(hostil->nomeFilial.left(6), QString("a [2Jb"));
        QVERIFY(hostil->nomeFilial.size() <= 200);
    }
};

QTEST_GUILESS_MAIN(TstMotorZip)
#include "tst_motorzip.moc"
