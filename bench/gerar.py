#!/usr/bin/env python3
"""Generates a retail-like MyISAM database of a chosen size for the benchmarks.

    gerar.py --socket SOCK --banco NOME --mb 400 --tmp PASTA [--semente 7]

The size counts the .frm and .MYD files (what the backup copies). The big tables are filled
in chunks by LOAD DATA from generated tab-separated files until each reaches its share of the
size; the small catalogue tables, the PAF work tables, filial and nlanc come first.
"""
import argparse
import os
import random
import subprocess
import sys
from datetime import date, timedelta

# ----------------------------------------------------------------------------------------------
# Vocabulary (invented names)

PRODUTOS_BASE = [
    "ARROZ TIPO 1", "FEIJAO CARIOCA", "FEIJAO PRETO", "ACUCAR CRISTAL", "ACUCAR REFINADO",
    "CAFE TORRADO MOIDO", "OLEO DE SOJA", "MACARRAO ESPAGUETE", "MACARRAO PARAFUSO",
    "FARINHA DE TRIGO", "FARINHA DE MANDIOCA", "LEITE INTEGRAL UHT", "LEITE DESNATADO UHT",
    "MARGARINA COM SAL", "MANTEIGA COM SAL", "IOGURTE NATURAL", "QUEIJO MUSSARELA FATIADO",
    "PRESUNTO COZIDO FATIADO", "BISCOITO RECHEADO CHOCOLATE", "BISCOITO CREAM CRACKER",
    "SABAO EM PO", "DETERGENTE LIQUIDO NEUTRO", "AMACIANTE DE ROUPAS", "AGUA SANITARIA",
    "PAPEL HIGIENICO FOLHA DUPLA", "CREME DENTAL", "SABONETE ERVA DOCE", "SHAMPOO ANTICASPA",
    "REFRIGERANTE COLA", "REFRIGERANTE GUARANA", "SUCO DE LARANJA INTEGRAL", "AGUA MINERAL S/GAS",
    "CERVEJA PILSEN LATA", "VINHO TINTO SUAVE", "MOLHO DE TOMATE TRADICIONAL", "EXTRATO DE TOMATE",
    "MILHO VERDE EM CONSERVA", "ERVILHA EM CONSERVA", "SARDINHA EM OLEO", "ATUM RALADO",
    "ACHOCOLATADO EM PO", "AVEIA EM FLOCOS", "GRANOLA TRADICIONAL", "SAL REFINADO IODADO",
    "VINAGRE DE ALCOOL", "MAIONESE TRADICIONAL", "KETCHUP TRADICIONAL", "MOSTARDA AMARELA",
    "CHOCOLATE AO LEITE", "BALA DE GOMA SORTIDA", "PIPOCA DE MICROONDAS", "BATATA PALHA",
    "FRANGO CONGELADO INTEIRO", "PEITO DE FRANGO FILE", "CARNE MOIDA PATINHO", "LINGUICA TOSCANA",
    "PAO DE FORMA TRADICIONAL", "BOLO PRONTO LARANJA", "OVOS BRANCOS GRANDES", "DESODORANTE AEROSOL",
]
MARCAS = ["VALORA", "BRISAL", "DONA NICE", "SERRANO", "TRIGALE", "PRIMOR SUL", "CAMPOVERDE",
          "ALVORADA", "BOM GOSTO", "RIO CLARO", "SANTA LUZIA", "NORTEFORT", "LUMIAR", "PRATIKA",
          "VERANO", "CASA BELA", "MAXILAR", "FORTEMAX"]
EMBALAGENS = ["1KG", "5KG", "500G", "200G", "1L", "2L", "350ML", "900ML", "LATA 350ML",
              "PCT 12UN", "CX 6UN", "395G", "250G", "90G", "400G", "FD 10UN", "170G", "2,5KG"]
NOMES = ["ANA", "MARIA", "JOSE", "JOAO", "ANTONIO", "FRANCISCA", "CARLOS", "PAULO", "PEDRO",
         "LUCAS", "LUIZ", "MARCOS", "LUCIANA", "JULIANA", "FERNANDA", "PATRICIA", "ALINE",
         "RAFAEL", "DANIEL", "MARCELO", "BRUNO", "EDUARDO", "FELIPE", "RODRIGO", "SANDRA",
         "CAMILA", "AMANDA", "BRUNA", "LETICIA", "GABRIEL", "VITOR", "TIAGO", "RENATA"]
SOBRENOMES = ["SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES", "FERREIRA", "ALVES",
              "PEREIRA", "LIMA", "GOMES", "COSTA", "RIBEIRO", "MARTINS", "CARVALHO", "ALMEIDA",
              "LOPES", "SOARES", "FERNANDES", "VIEIRA", "BARBOSA", "ROCHA", "DIAS", "NASCIMENTO",
              "ANDRADE", "MOREIRA", "NUNES", "MARQUES", "MACHADO", "MENDES", "FREITAS"]
EMPRESAS = ["DISTRIBUIDORA", "COMERCIO DE ALIMENTOS", "ATACADO", "INDUSTRIA", "LOGISTICA",
            "TRANSPORTES", "LATICINIOS", "FRIGORIFICO", "BEBIDAS", "EMBALAGENS"]
SUFIXOS = ["LTDA", "S/A", "EIRELI", "ME", "EPP"]
FORMAS = ["DN", "CC", "CD", "PX", "VA", "CH", "CR"]
FORMAS_DESC = {"DN": "DINHEIRO", "CC": "CARTAO CREDITO", "CD": "CARTAO DEBITO", "PX": "PIX",
               "VA": "VALE ALIMENTACAO", "CH": "CHEQUE", "CR": "CREDIARIO"}
BANDEIRAS = ["", "VISTA", "MASTERPAG", "ELOS", "HIPERX", "AMEXIA"]
HISTORICOS = ["PAGAMENTO DE FORNECEDOR REF NF", "DUPLICATA MERCANTIL", "BOLETO BANCARIO",
              "ALUGUEL DA LOJA", "ENERGIA ELETRICA", "AGUA E ESGOTO", "TELEFONE E INTERNET",
              "FRETE SOBRE COMPRAS", "MANUTENCAO DE EQUIPAMENTOS", "SERVICOS DE LIMPEZA",
              "IMPOSTOS ESTADUAIS", "FOLHA DE PAGAMENTO", "COMISSAO DE VENDEDORES"]
NATUREZAS = ["VENDA DE MERCADORIA", "VENDA A CONSUMIDOR FINAL", "DEVOLUCAO DE COMPRA",
             "TRANSFERENCIA ENTRE FILIAIS", "REMESSA PARA CONSERTO", "BONIFICACAO"]
OBS = ["", "", "", "", "ENTREGAR NO PERIODO DA MANHA", "CLIENTE RETIRA NA LOJA",
       "CONFERIR VALIDADE DOS PRODUTOS", "PAGAMENTO NA ENTREGA", "URGENTE",
       "LIGAR ANTES DE ENTREGAR", "PEDIDO FEITO POR TELEFONE", "NAO ACEITA SUBSTITUICAO"]
CIDADES = ["PORTO ALEGRE", "CAXIAS DO SUL", "PELOTAS", "CANOAS", "SANTA MARIA", "GRAVATAI",
           "NOVO HAMBURGO", "SAO LEOPOLDO", "PASSO FUNDO", "RIO GRANDE", "ALVORADA", "CACHOEIRINHA"]
UNIDADES = ["UN", "KG", "PC", "CX", "LT", "FD"]
CFOPS = ["5102", "5405", "5403", "6102", "5152", "5910", "1102", "2102", "1403"]
CSTS = ["000", "060", "040", "020", "500", "102", "010"]
USUARIOS = ["ADMIN", "CAIXA01", "CAIXA02", "CAIXA03", "GERENTE", "ESTOQUE", "FINANCEIRO",
            "COMPRAS", "SUPERVISOR", "FISCAL"]

# filial: central office 1 (escritorio 'S'), offices 2 and 3, stores 4..14 (14 deleted).
FILIAIS = [(1, "ESCRITORIO CENTRAL", "N", "S"), (2, "ESCRITORIO NORTE", "N", "S"),
           (3, "ESCRITORIO SUL", "N", "S")] + \
          [(i, "LOJA %02d %s" % (i - 3, CIDADES[i % len(CIDADES)]), "S" if i == 14 else "N", "N")
           for i in range(4, 15)]
LOJAS = [f[0] for f in FILIAIS if f[3] == "N" and f[2] == "N"]
CODIGOS = "*23456789ABCDE"  # lojas_leram symbols of filial 1..14


def codigo(n):
    return CODIGOS[n - 1]


# ----------------------------------------------------------------------------------------------
# Schema

LL = "lojas_leram varchar(40) default NULL"

GRANDES = {
    # name: (share of the size, DDL body)
    "movment": (0.30, """
        movment_id int unsigned not null auto_increment, filial_id int not null,
        data date not null, hora time not null, caixa smallint not null, cupom int not null,
        item smallint not null, produto_id int not null, codigo_barras varchar(14) not null,
        descricao varchar(60) not null, unidade char(2) not null,
        quantidade decimal(12,3) not null, preco_unitario decimal(12,2) not null,
        desconto decimal(12,2) not null, total decimal(12,2) not null,
        vendedor_id smallint not null, forma_pgto char(2) not null, cancelado char(1) not null,
        %s, primary key (movment_id), key idx_filial_data (filial_id, data),
        key idx_produto (produto_id), key idx_cupom (filial_id, caixa, cupom)""" % LL),
    "nota_fiscal_item": (0.17, """
        nota_fiscal_item_id int unsigned not null auto_increment,
        nota_fiscal_id int not null, filial_id int not null, item smallint not null,
        produto_id int not null, descricao varchar(60) not null, ncm char(8) not null,
        cfop char(4) not null, cst char(3) not null, unidade char(2) not null,
        quantidade decimal(12,3) not null, valor_unitario decimal(12,2) not null,
        valor_total decimal(12,2) not null, aliquota_icms decimal(5,2) not null,
        valor_icms decimal(12,2) not null, %s, primary key (nota_fiscal_item_id),
        key idx_nota (nota_fiscal_id), key idx_produto (produto_id)""" % LL),
    "nota_fiscal": (0.08, """
        nota_fiscal_id int unsigned not null auto_increment, filial_id int not null,
        numero int not null, serie char(3) not null, modelo char(2) not null,
        data_emissao date not null, cliente_id int not null, cliente_nome varchar(60) not null,
        cpf_cnpj varchar(18) not null, cidade varchar(30) not null,
        natureza varchar(40) not null, valor_produtos decimal(12,2) not null,
        valor_icms decimal(12,2) not null, valor_total decimal(12,2) not null,
        chave_acesso char(44) not null, situacao char(1) not null, observacao varchar(120),
        %s, primary key (nota_fiscal_id), key idx_filial_data (filial_id, data_emissao),
        key idx_numero (numero, serie), key idx_cliente (cliente_id)""" % LL),
    "pagar": (0.08, """
        pagar_id int unsigned not null auto_increment, filial_id int not null,
        fornecedor_id int not null, fornecedor_nome varchar(60) not null,
        documento varchar(20) not null, parcela tinyint not null, emissao date not null,
        vencimento date not null, pagamento date default NULL, valor decimal(12,2) not null,
        valor_pago decimal(12,2) not null, juros decimal(12,2) not null,
        historico varchar(100) not null, conta char(10) not null, situacao char(1) not null,
        %s, primary key (pagar_id), key idx_filial_venc (filial_id, vencimento),
        key idx_fornecedor (fornecedor_id)""" % LL),
    "entradas": (0.08, """
        entradas_id int unsigned not null auto_increment, filial_id int not null,
        nota_numero int not null, fornecedor_id int not null, produto_id int not null,
        descricao varchar(60) not null, data_entrada date not null,
        quantidade decimal(12,3) not null, custo_unitario decimal(12,4) not null,
        custo_total decimal(12,2) not null, lote varchar(20) not null, validade date,
        usuario varchar(20) not null, %s, primary key (entradas_id),
        key idx_filial_data (filial_id, data_entrada), key idx_produto (produto_id)""" % LL),
    "pagamentos": (0.08, """
        pagamentos_id int unsigned not null auto_increment, filial_id int not null,
        data date not null, hora time not null, caixa smallint not null, cupom int not null,
        forma char(2) not null, descricao varchar(30) not null, valor decimal(12,2) not null,
        troco decimal(12,2) not null, nsu varchar(12) not null, bandeira varchar(15) not null,
        parcelas tinyint not null, %s, primary key (pagamentos_id),
        key idx_filial_data (filial_id, data)""" % LL),
    "pedidos": (0.07, """
        pedidos_id int unsigned not null auto_increment, filial_id int not null,
        numero int not null, cliente_id int not null, cliente_nome varchar(60) not null,
        data date not null, entrega date, vendedor_id smallint not null,
        produto_id int not null, descricao varchar(60) not null,
        quantidade decimal(12,3) not null, preco decimal(12,2) not null,
        situacao char(1) not null, obs varchar(120) not null, %s,
        primary key (pedidos_id), key idx_filial_numero (filial_id, numero),
        key idx_cliente (cliente_id)""" % LL),
    "curvaabc": (0.04, """
        curvaabc_id int unsigned not null auto_increment, filial_id int not null,
        mes char(7) not null, produto_id int not null, descricao varchar(60) not null,
        quantidade decimal(14,3) not null, faturamento decimal(14,2) not null,
        margem decimal(7,2) not null, classe char(1) not null, posicao int not null, %s,
        primary key (curvaabc_id), key idx_filial_mes (filial_id, mes, classe)""" % LL),
    # Audit trail: no branch column and no marker, as some tables of the system.
    "log_sistema": (0.04, """
        log_sistema_id int unsigned not null auto_increment, data_hora datetime not null,
        usuario varchar(20) not null, tela varchar(30) not null, acao varchar(20) not null,
        detalhe varchar(200) not null, primary key (log_sistema_id),
        key idx_data (data_hora)"""),
}

PAF = ["paf_req25_r01", "paf_req25_r02", "paf_req25_r03", "paf_req25_r04", "paf_req25_r04_r06",
       "paf_req25_r04_r07", "paf_req25_r05", "paf_req25_r06", "paf_req25_r06_r07",
       "paf_req25_r06ex", "paf_req25_r06ex_r07", "paf_req25_r07", "esp_estoque_anterior",
       "esp_paf_req25_r02", "esp_paf_req25_r03", "esp_paf_req25_r04", "esp_paf_req25_r05",
       "esp_paf_req25_r06ex", "esp_paf_req25_r07"]

PEQUENAS = [
    "produtos", "clientes", "fornecedores", "vendedores", "usuarios", "grupos", "subgrupos",
    "marcas", "unidades", "ncm", "cfop", "cidades", "estados", "bancos", "contas_correntes",
    "formas_pagamento", "caixas", "tabelas_preco", "precos_filial", "promocoes", "estoque",
    "estoque_minimo", "inventario", "transferencias", "devolucoes", "trocas", "cheques",
    "cartoes", "convenios", "convenio_clientes", "comissoes", "metas", "feriados",
    "parametros", "parametros_filial", "impressoras", "ecf", "ecf_reducao_z", "sangrias",
    "suprimentos", "receber", "receber_baixas", "plano_contas", "centros_custo", "lancamentos",
    "etiquetas", "balancas", "codigos_barras", "kits", "kit_itens", "cotacoes", "cotacao_itens",
    "compras", "compra_itens", "mensagens", "agenda", "permissoes", "perfis", "sequenciador",
    "versoes_tabelas", "tributacao", "aliquotas"]


def ddl_pequena(nome, i):
    com_ll = i % 3 != 2
    com_filial = i % 4 == 0
    cols = ["%s_id int unsigned not null auto_increment" % nome,
            "codigo varchar(14) not null", "descricao varchar(60) not null",
            "valor decimal(12,2) not null", "data_cadastro date not null",
            "ativo char(1) not null default 'S'", "observacao varchar(80) not null"]
    if com_filial:
        cols.append("filial_id int not null")
    if com_ll:
        cols.append(LL)
    cols.append("primary key (%s_id)" % nome)
    cols.append("key idx_codigo (codigo)")
    return ",\n".join(cols), com_ll, com_filial


# ----------------------------------------------------------------------------------------------

class Gerador:
    def __init__(self, args):
        self.a = args
        self.r = random.Random(args.semente)
        self.hoje = date(2025, 6, 30)
        self.datas = [(self.hoje - timedelta(days=d)).isoformat() for d in range(730)]
        r = self.r
        self.produtos = []
        for pid in range(1, 8001):
            nome = "%s %s %s" % (r.choice(PRODUTOS_BASE), r.choice(MARCAS), r.choice(EMBALAGENS))
            ean = "789%010d" % r.randrange(10 ** 10)
            preco = round(r.choice([1.99, 2.49, 3.89, 4.5, 5.99, 7.9, 9.98, 12.5, 15.9, 21.9,
                                    29.9, 39.9, 49.9]) * r.choice([1, 1, 1, 1.1, 0.9, 2]), 2)
            ncm = "%08d" % r.choice([19021900, 10063021, 7133319, 17019900, 9012100, 15079011,
                                     4011010, 34022000, 48181000, 22021000, 22030000])
            self.produtos.append((pid, nome[:60], ean, preco, ncm, r.choice(UNIDADES)))
        self.clientes = ["%s %s %s" % (r.choice(NOMES), r.choice(SOBRENOMES), r.choice(SOBRENOMES))
                         for _ in range(3000)]
        self.fornecedores = ["%s %s %s" % (r.choice(MARCAS), r.choice(EMPRESAS),
                                           r.choice(SUFIXOS)) for _ in range(400)]
        self.ids = {}
        self.pesos_filial = [1] * 3 + [10] * (len(LOJAS))

    # -- SQL through the client -------------------------------------------------------------
    def sql(self, texto, banco=True):
        cmd = ["mariadb", "--no-defaults", "--socket=" + self.a.socket, "-uroot", "-N", "-B"]
        if banco:
            cmd.append(self.a.banco)
        p = subprocess.run(cmd, input=texto.encode("latin-1"), capture_output=True)
        if p.returncode != 0:
            sys.exit("SQL failed: %s\n%s" % (p.stderr.decode(errors="replace"), texto[:400]))
        return p.stdout.decode("latin-1")

    def carregar(self, tabela, linhas, colunas):
        arq = os.path.join(self.a.tmp, tabela + ".tsv")
        with open(arq, "w", encoding="latin-1") as f:
            f.write("".join(linhas))
        self.sql("LOAD DATA INFILE '%s' INTO TABLE %s CHARACTER SET latin1 (%s);"
                 % (arq, tabela, colunas))
        os.remove(arq)

    def tamanho(self, tabela):
        pasta = os.path.join(self.a.datadir, self.a.banco)
        return sum(os.path.getsize(os.path.join(pasta, tabela + ext)) for ext in (".frm", ".MYD"))

    # -- row makers ----------------------------------------------------------------------------
    def filial(self, n):
        return self.r.choices(LOJAS + [1, 2, 3], weights=[10] * len(LOJAS) + [1, 1, 1], k=n)

    def ll(self):
        r = self.r
        x = r.random()
        if x < 0.08:
            return "\\N"
        if x < 0.5:
            return "*" + "".join(codigo(i) for i in range(2, 14) if i != 14)
        return "*" + "".join(codigo(i) for i in sorted(r.sample(range(2, 14), r.randrange(0, 8))))

    def linhas_movment(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        cupom = inicio // 6
        item = 0
        d = r.choice(self.datas)
        for k in range(n):
            if item == 0 or r.random() < 0.15:
                cupom += 1
                item = 0
                d = r.choice(self.datas)
                h = "%02d:%02d:%02d" % (r.randrange(8, 22), r.randrange(60), r.randrange(60))
                caixa = r.randrange(1, 9)
                forma = r.choice(FORMAS)
                vend = r.randrange(1, 40)
            item += 1
            p = self.produtos[int(len(self.produtos) * r.random() ** 2)]
            q = r.choice([1, 1, 1, 2, 3, 6, 12]) if p[5] != "KG" else round(r.uniform(0.1, 3), 3)
            desc = 0 if r.random() < 0.85 else round(p[3] * q * 0.05, 2)
            out.append("%d\t%s\t%s\t%d\t%d\t%d\t%d\t%s\t%s\t%s\t%s\t%s\t%s\t%.2f\t%d\t%s\t%s\t%s\n" % (
                fil[k], d, h, caixa, cupom, item, p[0], p[2], p[1], p[5], q, p[3], desc,
                p[3] * q - desc, vend, forma, "S" if r.random() < 0.01 else "N", self.ll()))
        return out, ("filial_id, data, hora, caixa, cupom, item, produto_id, codigo_barras, "
                     "descricao, unidade, quantidade, preco_unitario, desconto, total, "
                     "vendedor_id, forma_pgto, cancelado, lojas_leram")

    def linhas_nota_fiscal_item(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        nota = inicio // 4
        item = 0
        for k in range(n):
            if item == 0 or r.random() < 0.25:
                nota += 1
                item = 0
            item += 1
            p = self.produtos[int(len(self.produtos) * r.random() ** 2)]
            q = r.choice([1, 2, 3, 5, 10, 12, 24])
            tot = p[3] * q
            aliq = r.choice([0, 7, 12, 17, 18, 25])
            out.append("%d\t%d\t%d\t%d\t%s\t%s\t%s\t%s\t%s\t%d\t%s\t%.2f\t%d\t%.2f\t%s\n" % (
                nota, fil[k], item, p[0], p[1], p[4], r.choice(CFOPS), r.choice(CSTS), p[5], q,
                p[3], tot, aliq, tot * aliq / 100, self.ll()))
        return out, ("nota_fiscal_id, filial_id, item, produto_id, descricao, ncm, cfop, cst, "
                     "unidade, quantidade, valor_unitario, valor_total, aliquota_icms, valor_icms, "
                     "lojas_leram")

    def linhas_nota_fiscal(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        for k in range(n):
            cid = r.randrange(len(self.clientes))
            cpf = "%03d.%03d.%03d-%02d" % (r.randrange(1000), r.randrange(1000), r.randrange(1000),
                                          r.randrange(100))
            vp = round(r.lognormvariate(4, 1.2), 2)
            icms = round(vp * 0.17, 2)
            chave = "43%s%014d55%03d%09d1%08d%d" % ("2506", r.randrange(10 ** 14), 1,
                                                     inicio + k, r.randrange(10 ** 8), k % 10)
            out.append("%d\t%d\t%s\t%s\t%s\t%d\t%s\t%s\t%s\t%s\t%.2f\t%.2f\t%.2f\t%s\t%s\t%s\t%s\n" % (
                fil[k], inicio + k, r.choice(["1", "1", "2"]), r.choice(["55", "65", "65"]),
                r.choice(self.datas), cid, self.clientes[cid], cpf, r.choice(CIDADES),
                r.choice(NATUREZAS), vp, icms, vp, chave[:44],
                r.choice("NNNNNNNNC"), r.choice(OBS), self.ll()))
        return out, ("filial_id, numero, serie, modelo, data_emissao, cliente_id, cliente_nome, "
                     "cpf_cnpj, cidade, natureza, valor_produtos, valor_icms, valor_total, "
                     "chave_acesso, situacao, observacao, lojas_leram")

    def linhas_pagar(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        for k in range(n):
            fid = r.randrange(len(self.fornecedores))
            emis = r.randrange(30, 730)
            venc = emis - r.choice([0, 15, 28, 30, 45, 60])
            pago = venc >= 30 and r.random() < 0.9
            v = round(r.lognormvariate(6, 1.3), 2)
            out.append("%d\t%d\t%s\t%s\t%d\t%s\t%s\t%s\t%.2f\t%.2f\t%.2f\t%s %d\t%s\t%s\t%s\n" % (
                fil[k], fid, self.fornecedores[fid], "NF%07d" % r.randrange(10 ** 6),
                r.randrange(1, 6), self.datas[emis], self.datas[max(venc, 0)],
                self.datas[max(venc - r.randrange(3), 0)] if pago else "\\N", v,
                v if pago else 0, 0 if r.random() < 0.9 else round(v * 0.02, 2),
                r.choice(HISTORICOS), r.randrange(1, 99999), "%d.%d.%02d" % (
                    r.randrange(1, 4), r.randrange(1, 9), r.randrange(1, 40)),
                "P" if pago else "A", self.ll()))
        return out, ("filial_id, fornecedor_id, fornecedor_nome, documento, parcela, emissao, "
                     "vencimento, pagamento, valor, valor_pago, juros, historico, conta, situacao, "
                     "lojas_leram")

    def linhas_entradas(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        nota = 100000 + inicio // 8
        for k in range(n):
            if r.random() < 0.12:
                nota += 1
            p = self.produtos[r.randrange(len(self.produtos))]
            q = r.choice([6, 12, 24, 48, 60, 100, 120, 240])
            c = p[3] * 0.7
            d = r.randrange(730)
            out.append("%d\t%d\t%d\t%d\t%s\t%s\t%d\t%.4f\t%.2f\t%s\t%s\t%s\t%s\n" % (
                fil[k], nota, r.randrange(400), p[0], p[1], self.datas[d], q, c, c * q,
                "L%06d" % r.randrange(10 ** 6), self.datas[max(d - r.randrange(30, 400), 0)]
                if r.random() < 0.6 else "\\N", r.choice(USUARIOS), self.ll()))
        return out, ("filial_id, nota_numero, fornecedor_id, produto_id, descricao, data_entrada, "
                     "quantidade, custo_unitario, custo_total, lote, validade, usuario, "
                     "lojas_leram")

    def linhas_pagamentos(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        for k in range(n):
            f = r.choice(FORMAS)
            v = round(r.lognormvariate(3.5, 1), 2)
            cartao = f in ("CC", "CD")
            out.append("%d\t%s\t%02d:%02d:%02d\t%d\t%d\t%s\t%s\t%.2f\t%.2f\t%s\t%s\t%d\t%s\n" % (
                fil[k], r.choice(self.datas), r.randrange(8, 22), r.randrange(60),
                r.randrange(60), r.randrange(1, 9), inicio + k, f, FORMAS_DESC[f], v,
                round(r.random() * 10, 2) if f == "DN" else 0,
                "%012d" % r.randrange(10 ** 12) if cartao else "",
                r.choice(BANDEIRAS[1:]) if cartao else "",
                r.choice([1, 1, 1, 2, 3, 6]) if f == "CC" else 1, self.ll()))
        return out, ("filial_id, data, hora, caixa, cupom, forma, descricao, valor, troco, nsu, "
                     "bandeira, parcelas, lojas_leram")

    def linhas_pedidos(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        num = inicio // 3
        for k in range(n):
            if r.random() < 0.3:
                num += 1
            cid = r.randrange(len(self.clientes))
            p = self.produtos[r.randrange(len(self.produtos))]
            d = r.randrange(5, 730)
            out.append("%d\t%d\t%d\t%s\t%s\t%s\t%d\t%d\t%s\t%d\t%s\t%s\t%s\t%s\n" % (
                fil[k], num, cid, self.clientes[cid], self.datas[d], self.datas[d - 3],
                r.randrange(1, 40), p[0], p[1], r.choice([1, 2, 5, 10]), p[3],
                r.choice("AFFFFC"), r.choice(OBS), self.ll()))
        return out, ("filial_id, numero, cliente_id, cliente_nome, data, entrega, vendedor_id, "
                     "produto_id, descricao, quantidade, preco, situacao, obs, lojas_leram")

    def linhas_curvaabc(self, n, inicio):
        r, out = self.r, []
        fil = self.filial(n)
        for k in range(n):
            p = self.produtos[r.randrange(len(self.produtos))]
            q = round(r.lognormvariate(4, 1.5), 3)
            out.append("%d\t%04d-%02d\t%d\t%s\t%.3f\t%.2f\t%.2f\t%s\t%d\t%s\n" % (
                fil[k], r.choice([2023, 2024, 2025]), r.randrange(1, 13), p[0], p[1], q,
                q * p[3], r.uniform(5, 45), r.choice("AABBBCCCCC"), r.randrange(1, 8000),
                self.ll()))
        return out, ("filial_id, mes, produto_id, descricao, quantidade, faturamento, margem, "
                     "classe, posicao, lojas_leram")

    def linhas_log_sistema(self, n, inicio):
        r, out = self.r, []
        telas = ["VENDAS", "ESTOQUE", "FINANCEIRO", "CADASTRO PRODUTOS", "FISCAL", "COMPRAS"]
        acoes = ["INCLUIR", "ALTERAR", "EXCLUIR", "CONSULTAR", "IMPRIMIR"]
        for k in range(n):
            p = self.produtos[r.randrange(len(self.produtos))]
            out.append("%s %02d:%02d:%02d\t%s\t%s\t%s\t%s\n" % (
                r.choice(self.datas), r.randrange(7, 23), r.randrange(60), r.randrange(60),
                r.choice(USUARIOS), r.choice(telas), r.choice(acoes),
                "REGISTRO %d PRODUTO %s VALOR ANTERIOR %.2f NOVO %.2f" % (
                    r.randrange(10 ** 6), p[1], p[3], p[3] * 1.05)))
        return out, "data_hora, usuario, tela, acao, detalhe"

    # -- the whole database ----------------------------------------------------------------------
    def executar(self):
        a, r = self.a, self.r
        self.sql("DROP DATABASE IF EXISTS %s; CREATE DATABASE %s;" % (a.banco, a.banco), False)
        ddl = ["CREATE TABLE filial (filial_id int not null, nome varchar(60) not null, "
               "apagado char(1) not null default 'N', escritorio char(1) not null default 'N', "
               "versao varchar(12) default NULL, cidade varchar(30), %s, "
               "primary key (filial_id)) ENGINE=MyISAM;" % LL,
               "CREATE TABLE nlanc (nlanc_id int not null, primary key (nlanc_id)) ENGINE=MyISAM;",
               "INSERT INTO nlanc VALUES (48213);"]
        for f in FILIAIS:
            ddl.append("INSERT INTO filial VALUES (%d, '%s', '%s', '%s', '000900000000', '%s', "
                       "'*');" % (f[0], f[1], f[2], f[3], CIDADES[f[0] % len(CIDADES)]))
        for nome, (_, corpo) in GRANDES.items():
            ddl.append("CREATE TABLE %s (%s) ENGINE=MyISAM DEFAULT CHARSET=latin1;" % (nome, corpo))
        pequenas = []
        for i, nome in enumerate(PEQUENAS):
            corpo, com_ll, com_filial = ddl_pequena(nome, i)
            ddl.append("CREATE TABLE %s (%s) ENGINE=MyISAM DEFAULT CHARSET=latin1;" % (nome, corpo))
            pequenas.append((nome, com_ll, com_filial))
        for nome in PAF:
            ddl.append("CREATE TABLE %s (id int unsigned not null auto_increment, "
                       "filial_id int not null, data date not null, ecf varchar(20) not null, "
                       "coo int not null, produto_id int not null, descricao varchar(60) not null, "
                       "quantidade decimal(12,3) not null, valor decimal(12,2) not null, "
                       "situacao char(1) not null, primary key (id), key idx_data (data)) "
                       "ENGINE=MyISAM DEFAULT CHARSET=latin1;" % nome)
        self.sql("\n".join(ddl))

        alvo = a.mb * 1024 * 1024
        # Small tables: produtos and clientes carry their real catalogues; the others a few
        # hundred to a few thousand rows each.
        for nome, com_ll, com_filial in pequenas:
            n = {"produtos": len(self.produtos), "clientes": len(self.clientes),
                 "fornecedores": len(self.fornecedores)}.get(nome, r.choice([12, 40, 150, 600,
                                                                           2000, 5000]))
            n = max(12, int(n * min(1.0, a.mb / 400.0) if n > 2000 else n))
            linhas = []
            for k in range(n):
                if nome == "produtos":
                    p = self.produtos[k]
                    cod, desc, val = p[2], p[1], p[3]
                elif nome == "clientes":
                    cod, desc, val = "%011d" % r.randrange(10 ** 11), self.clientes[k], 0
                elif nome == "fornecedores":
                    cod, desc, val = "%014d" % r.randrange(10 ** 14), self.fornecedores[k], 0
                else:
                    p = self.produtos[r.randrange(len(self.produtos))]
                    cod, desc, val = "%06d" % r.randrange(10 ** 6), "%s %s" % (
                        nome.upper().replace("_", " "), p[1][:30]), round(r.uniform(0, 500), 2)
                campos = [cod, desc[:60], "%.2f" % val, r.choice(self.datas),
                          "S" if r.random() < 0.9 else "N", r.choice(OBS)]
                if com_filial:
                    campos.append(str(r.choice(LOJAS)))
                if com_ll:
                    campos.append(self.ll())
                linhas.append("\t".join(campos) + "\n")
            colunas = "codigo, descricao, valor, data_cadastro, ativo, observacao"
            if com_filial:
                colunas += ", filial_id"
            if com_ll:
                colunas += ", lojas_leram"
            self.carregar(nome, linhas, colunas)
        for nome in PAF:
            n = r.choice([50, 200, 800, 3000])
            linhas = []
            for k in range(n):
                p = self.produtos[r.randrange(len(self.produtos))]
                linhas.append("%d\t%s\tECF%03d\t%d\t%d\t%s\t%d\t%.2f\t%s\n" % (
                    r.choice(LOJAS), r.choice(self.datas), r.randrange(1, 9), r.randrange(10 ** 6),
                    p[0], p[1], r.randrange(1, 10), p[3], r.choice("NNNC")))
            self.carregar(nome, linhas, "filial_id, data, ecf, coo, produto_id, descricao, "
                                        "quantidade, valor, situacao")

        pasta = os.path.join(a.datadir, a.banco)
        fixos = sum(os.path.getsize(os.path.join(pasta, f)) for f in os.listdir(pasta)
                    if f.endswith((".frm", ".MYD")))
        resto = max(alvo - fixos, alvo * 0.5)
        total_peso = sum(p for p, _ in GRANDES.values())
        for nome, (peso, _) in GRANDES.items():
            meta = resto * peso / total_peso
            self.sql("ALTER TABLE %s DISABLE KEYS;" % nome)
            feitas, lote = 0, 20000
            while True:
                atual = self.tamanho(nome)
                if atual >= meta:
                    break
                if feitas:
                    por_linha = max(20.0, (atual - 8192) / feitas)
                    lote = int(min(200000, max(1000, (meta - atual) / por_linha + 1)))
                linhas, colunas = getattr(self, "linhas_" + nome)(lote, feitas + 1)
                self.carregar(nome, linhas, colunas)
                feitas += lote
            self.sql("ALTER TABLE %s ENABLE KEYS;" % nome)
            print("  %-18s %9d rows %7.1f MB" % (nome, feitas, self.tamanho(nome) / 1048576.0),
                  flush=True)
        self.sql("FLUSH TABLES;")
        total = sum(os.path.getsize(os.path.join(pasta, f)) for f in os.listdir(pasta)
                    if f.endswith((".frm", ".MYD")))
        print("  total .frm+.MYD: %.1f MB in %d tables" % (
            total / 1048576.0, len([f for f in os.listdir(pasta) if f.endswith(".frm")])))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--socket", required=True)
    ap.add_argument("--datadir", required=True)
    ap.add_argument("--banco", default="central")
    ap.add_argument("--mb", type=int, default=400)
    ap.add_argument("--tmp", required=True)
    ap.add_argument("--semente", type=int, default=7)
    a = ap.parse_args()
    os.makedirs(a.tmp, exist_ok=True)
    Gerador(a).executar()


if __name__ == "__main__":
    main()
