#!/usr/bin/env python3
"""Medians, ratios and the targets of a benchmark run; writes RESULTS.md (or a section of it)."""
import argparse
import datetime
import os
import re
import statistics
import subprocess


def sh(cmd):
    try:
        return subprocess.run(cmd, shell=True, capture_output=True, text=True).stdout.strip()
    except OSError:
        return ""


def ler(caminho):
    linhas = {}
    for l in open(caminho):
        c = l.rstrip("\n").split("\t")
        if len(c) < 8 or c[0] == "nome":
            continue
        linhas.setdefault(c[0], {})[int(c[1])] = {
            "wall": float(c[2]), "cpu": float(c[3]) + float(c[4]), "rss": int(c[5]) / 1024.0,
            "srv": float(c[6]), "bytes": int(c[7])}
    return linhas


def mediana(dados, nome, campo):
    v = [r[campo] for r in dados.get(nome, {}).values()]
    return statistics.median(v) if v else None


def maquina(cli):
    cpu = sh("lscpu | sed -n 's/^Model name:[[:space:]]*//p'")
    ram = sh("awk '/MemTotal/ {printf \"%.1f GiB\", $2/1048576}' /proc/meminfo")
    build = os.path.dirname(cli)
    while build != "/" and not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        build = os.path.dirname(build)
    cache = os.path.join(build, "CMakeCache.txt")
    compilador, tipo = "", ""
    if os.path.exists(cache):
        txt = open(cache).read()
        m = re.search(r"^CMAKE_CXX_COMPILER:\w+=(.*)$", txt, re.M)
        if m:
            compilador = sh("%s --version | head -n 1" % m.group(1))
        m = re.search(r"^CMAKE_BUILD_TYPE:\w+=(.*)$", txt, re.M)
        tipo = m.group(1) if m else ""
    pkg = lambda p: sh("dpkg-query -W -f='${Version}' %s 2>/dev/null" % p)
    return [
        ("CPU", "%s, nproc %s" % (cpu, sh("nproc"))),
        ("RAM", ram),
        ("Kernel", sh("uname -r")),
        ("MariaDB", sh("mariadbd --version")),
        ("zlib", pkg("zlib1g")),
        ("libdeflate", pkg("libdeflate0")),
        ("libzip", pkg("libzip4") or pkg("libzip5")),
        ("Qt", pkg("libqt6core6") or pkg("libqt6core6t64")),
        ("zip / unzip", "%s / %s" % (pkg("zip"), pkg("unzip"))),
        ("Compiler", "%s (build type %s)" % (compilador, tipo)),
    ]


def fmt(x, casas=2):
    return "-" if x is None else ("%.*f" % (casas, x))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--medidas", required=True)
    ap.add_argument("--mb", type=int, required=True)
    ap.add_argument("--rodadas", type=int, required=True)
    ap.add_argument("--bytes", type=int, required=True)
    ap.add_argument("--cli", required=True)
    ap.add_argument("--saida", required=True)
    ap.add_argument("--comando", required=True)
    ap.add_argument("--iguais", default="")
    ap.add_argument("--sonda", default="")
    # Wall seconds of A at this size before the tables went to several connections (the
    # median of the last run of that version on this machine), for the one-connection check.
    ap.add_argument("--antes-backup", type=float, default=0.0)
    ap.add_argument("--antes-restaurar", type=float, default=0.0)
    a = ap.parse_args()
    d = ler(a.medidas)

    # The restore floor of each round is its set-aside plus its load.
    piso = {}
    for r, v in d.get("restaurar_piso_carga", {}).items():
        w = d.get("restaurar_piso_reserva", {}).get(r)
        if w:
            piso[r] = {k: v[k] + w[k] for k in ("wall", "cpu", "srv")}
            piso[r]["rss"], piso[r]["bytes"] = 0, 0
    if piso:
        d["restaurar_piso"] = piso

    agora = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    out = []
    so_cli = "backup_B" not in d
    titulo = "## marvek-cli alone at %d MB" % a.mb if so_cli else "# Benchmarks"
    out.append(titulo)
    out.append("")
    out.append("Run %s: `%s` — %d round(s), database of %.1f MB (.frm+.MYD, %d bytes); medians."
               % (agora, a.comando, a.rodadas, a.bytes / 1048576.0, a.bytes))
    out.append("")
    out.append("| operation | wall s | CPU s (user+sys, client side) | server CPU s | "
               "peak RSS MB | output bytes |")
    out.append("|---|---:|---:|---:|---:|---:|")
    nomes = [("backup_A", "backup A: marvek-cli backup"),
             ("backup_A1", "backup A, --conexoes 1"),
             ("backup_B", "backup B: client UPDATEs + FLUSH FOR EXPORT + cp + zip -6 -j"),
             ("backup_piso", "backup floor: B without zip"),
             ("restaurar_A", "restore A: marvek-cli restaurar"),
             ("restaurar_A1", "restore A, --conexoes 1"),
             ("restaurar_B", "restore B: unzip + set-aside + cp + REPAIR/UPDATE/purge"),
             ("restaurar_piso", "restore floor: set-aside + REPAIR/UPDATE/purge"),
             ("restaurar_piso_reserva", "  of which set-aside"),
             ("restaurar_piso_carga", "  of which REPAIR/UPDATE/purge")]
    for chave, rotulo in nomes:
        if chave not in d:
            continue
        rss = mediana(d, chave, "rss") if chave.endswith("_A") else None
        tam = mediana(d, chave, "bytes")
        out.append("| %s | %s | %s | %s | %s | %s |" % (
            rotulo, fmt(mediana(d, chave, "wall")), fmt(mediana(d, chave, "cpu")),
            fmt(mediana(d, chave, "srv")), fmt(rss, 1) if rss else "-",
            "%d" % tam if tam else "-"))
    out.append("")
    rodadas = "; ".join("%s %s" % (k, " ".join(fmt(v["wall"]) for _, v in sorted(d[k].items())))
                        for k, _ in nomes if k in d)
    out.append("Wall seconds of every round: %s." % rodadas)
    out.append("")

    def razao(x, y):
        mx, my = mediana(d, x, "wall"), mediana(d, y, "wall")
        return None if not mx or not my else mx / my

    if not so_cli:
        alvos = []
        r1 = razao("backup_A", "backup_B")
        r2 = razao("backup_A", "backup_piso")
        za, zb = mediana(d, "backup_A", "bytes"), mediana(d, "backup_B", "bytes")
        r3 = za / zb if za and zb else None
        r4 = razao("restaurar_A", "restaurar_B")
        r5 = razao("restaurar_A", "restaurar_piso")
        a1b = mediana(d, "backup_A1", "wall")
        a1r = mediana(d, "restaurar_A1", "wall")
        rb = mediana(d, "backup_A", "rss")
        rr = mediana(d, "restaurar_A", "rss")
        pico = max(x for x in (rb, rr) if x is not None)
        alvos = [
            ("backup A / backup B (wall)", r1, 0.42),
            ("backup A / one-connection floor (wall)", r2, 1.15),
            ("archive A / zip -6 archive (bytes)", r3, 1.03),
            ("restore A / restore B (wall)", r4, 0.40),
            ("restore A / one-connection floor (wall)", r5, 1.08),
            ("backup A --conexoes 1 / A before several connections (%.2f s)" % a.antes_backup,
             a1b / a.antes_backup if a1b and a.antes_backup else None, 1.03),
            ("restore A --conexoes 1 / A before several connections (%.2f s)"
             % a.antes_restaurar, a1r / a.antes_restaurar if a1r and a.antes_restaurar else None,
             1.03),
            ("marvek-cli peak RSS, MB (backup %s, restore %s)" % (fmt(rb, 1), fmt(rr, 1)),
             pico, 150),
        ]
        # The window probe: largest gap between two passes of the message loop (ms).
        sonda = {}
        if a.sonda and os.path.exists(a.sonda):
            for l in open(a.sonda):
                c = l.rstrip("\n").split("\t")
                if len(c) >= 5 and c[0] == "sonda":
                    sonda[c[1]] = (float(c[2]), float(c[3]), int(c[4]))
        for fase, rotulo in (("backup", "window: largest gap in message processing while the "
                                        "archive is written, ms"),
                             ("restaurar", "window: largest gap in message processing while the "
                                           "archive is checked and unpacked, ms")):
            v = sonda.get(fase)
            alvos.append(("%s (step of %s s, %s passes)" % (rotulo, fmt(v[1]) if v else "-",
                                                            v[2] if v else "-"),
                          v[0] if v else None, 100))
        out.append("| ratio | value | target | |")
        out.append("|---|---:|---:|---|")
        for rotulo, v, alvo in alvos:
            ok = v is not None and v <= alvo
            out.append("| %s | %s | ≤ %s | %s |" % (rotulo, fmt(v, 3 if alvo < 10 else 1), alvo,
                                                   "met" if ok else "**not met**"))
        out.append("")
        out.append("Compression of the database by zip -6: %.2f : 1."
                   % (a.bytes / zb if zb else 0))
        if a.iguais:
            out.append("")
            out.append("Restore A (several connections), restore A with one connection and "
                       "restore B left identical store tables (CHECKSUM TABLE of the purged, "
                       "marked and PAF tables), and both A logs held the same lines: %s."
                       % ("yes, every round" if a.iguais == "sim" else "**no**"))
        out.append("")
        out.append("### Machine and versions")
        out.append("")
        for k, v in maquina(a.cli):
            out.append("- %s: %s" % (k, v))
        out.append("")
    texto = "\n".join(out) + "\n"
    if a.saida == "-":
        print(texto)
    else:
        with open(a.saida, "w") as f:
            f.write(texto)
        print(texto)


if __name__ == "__main__":
    main()
