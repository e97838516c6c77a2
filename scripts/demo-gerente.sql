-- The demo database "gerente": a central office, an additional office and a few stores, with
-- enough rows in the tables the backup marks and the restore purges to watch both work.
-- Loaded by scripts/executar.sh into the demo server only when "gerente" does not exist yet.
CREATE DATABASE gerente;
USE gerente;

CREATE TABLE filial (
  filial_id INT PRIMARY KEY,
  nome VARCHAR(40),
  apagado CHAR(1),
  escritorio CHAR(1),
  versao VARCHAR(12),
  lojas_leram VARCHAR(60)
) ENGINE=MyISAM;
INSERT INTO filial VALUES
  (1, 'Central', 'N', 'S', '000900000000', '*'),
  (2, 'Escritório Regional Sul', 'N', 'S', '000900000000', '*'),
  (3, 'Loja Centro', 'N', 'N', '000900000000', '*'),
  (4, 'Loja Shopping Norte', 'N', 'N', '000900000000', '*'),
  (5, 'Loja Rodoviária', 'N', 'N', '000900000000', '*'),
  (6, 'Loja Praia (fechada)', 'S', 'N', '000900000000', '*');

CREATE TABLE produtos (
  produto_id INT AUTO_INCREMENT PRIMARY KEY,
  descricao VARCHAR(60),
  preco DECIMAL(10,2),
  lojas_leram VARCHAR(60)
) ENGINE=MyISAM;
INSERT INTO produtos (descricao, preco, lojas_leram) VALUES
  ('Arroz tipo 1 5kg', 24.90, '*'), ('Feijão carioca 1kg', 8.49, '*3'),
  ('Café torrado 500g', 17.90, '*34'), ('Açúcar cristal 2kg', 9.99, NULL),
  ('Óleo de soja 900ml', 7.29, ''), ('Leite integral 1l', 5.49, '*345');

CREATE TABLE clientes (
  cliente_id INT AUTO_INCREMENT PRIMARY KEY,
  nome VARCHAR(60),
  cidade_id INT,
  lojas_leram VARCHAR(60)
) ENGINE=MyISAM;
INSERT INTO clientes (nome, cidade_id, lojas_leram) VALUES
  ('Ana Souza', 1, '*'), ('Bruno Lima', 2, '*3'), ('Carla Dias', 1, NULL),
  ('Diego Alves', 3, '');

CREATE TABLE caixa (
  caixa_id INT AUTO_INCREMENT PRIMARY KEY,
  filial_id INT,
  valor DECIMAL(10,2),
  lojas_leram VARCHAR(60),
  KEY ix_filial (filial_id)
) ENGINE=MyISAM;
INSERT INTO caixa (filial_id, valor, lojas_leram) VALUES
  (1, 1520.00, '*'), (3, 830.50, '3'), (4, 412.75, NULL), (5, 96.10, '');

CREATE TABLE cidades (cidade_id INT PRIMARY KEY, nome VARCHAR(40)) ENGINE=MyISAM;
INSERT INTO cidades VALUES (1, 'Curitiba'), (2, 'São Paulo'), (3, 'Florianópolis');

-- Pictures are never copied by the backup (they only get the marker).
CREATE TABLE fotos (foto_id INT PRIMARY KEY, produto_id INT, lojas_leram VARCHAR(60))
  ENGINE=MyISAM;
INSERT INTO fotos VALUES (1, 1, '*'), (2, 3, NULL);

-- The six tables whose other-branch rows a store's restore deletes.
CREATE TABLE movment (movment_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  produto_id INT, quantidade INT, lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO movment (filial_id, produto_id, quantidade, lojas_leram) VALUES
  (1, 1, 10, '*'), (3, 1, 2, '3'), (3, 2, 5, NULL), (4, 6, 12, ''), (5, 3, 1, '');
CREATE TABLE entradas (entrada_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  nota VARCHAR(20), lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO entradas (filial_id, nota, lojas_leram) VALUES
  (1, 'NF 1001', '*'), (3, 'NF 2040', NULL), (4, 'NF 3310', '');
CREATE TABLE pedidos (pedido_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  cliente_id INT, total DECIMAL(10,2), lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO pedidos (filial_id, cliente_id, total, lojas_leram) VALUES
  (3, 1, 54.30, NULL), (4, 2, 120.00, ''), (5, 4, 33.33, '*');
CREATE TABLE curvaabc (curvaabc_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  produto_id INT, classe CHAR(1), lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO curvaabc (filial_id, produto_id, classe, lojas_leram) VALUES
  (1, 1, 'A', '*'), (3, 1, 'A', NULL), (4, 2, 'B', ''), (5, 6, 'C', '');
CREATE TABLE pagar (pagar_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  vencimento DATE, valor DECIMAL(10,2), lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO pagar (filial_id, vencimento, valor, lojas_leram) VALUES
  (1, '2026-12-10', 3500.00, '*'), (3, '2026-12-15', 420.00, NULL), (4, '2026-12-20', 77.00, '');
CREATE TABLE pagamentos (pagamento_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT,
  forma VARCHAR(20), valor DECIMAL(10,2), lojas_leram VARCHAR(60)) ENGINE=MyISAM;
INSERT INTO pagamentos (filial_id, forma, valor, lojas_leram) VALUES
  (3, 'Dinheiro', 54.30, NULL), (4, 'Cartão', 120.00, ''), (5, 'Pix', 33.33, '');

-- The 19 PAF work tables, which a store's restore empties.
CREATE TABLE paf_req25_r01 (id INT, registro VARCHAR(40)) ENGINE=MyISAM;
CREATE TABLE paf_req25_r02 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r03 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r04 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r04_r06 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r04_r07 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r05 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r06 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r06_r07 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r06ex LIKE paf_req25_r01;
CREATE TABLE paf_req25_r06ex_r07 LIKE paf_req25_r01;
CREATE TABLE paf_req25_r07 LIKE paf_req25_r01;
CREATE TABLE esp_estoque_anterior LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r02 LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r03 LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r04 LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r05 LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r06ex LIKE paf_req25_r01;
CREATE TABLE esp_paf_req25_r07 LIKE paf_req25_r01;
INSERT INTO paf_req25_r01 VALUES (1, 'R01 Central'), (2, 'R01 Loja Centro');
INSERT INTO paf_req25_r02 VALUES (1, 'R02');
INSERT INTO paf_req25_r03 VALUES (1, 'R03');
INSERT INTO paf_req25_r04 VALUES (1, 'R04'), (2, 'R04');
INSERT INTO paf_req25_r04_r06 VALUES (1, 'R04/R06');
INSERT INTO paf_req25_r04_r07 VALUES (1, 'R04/R07');
INSERT INTO paf_req25_r05 VALUES (1, 'R05');
INSERT INTO paf_req25_r06 VALUES (1, 'R06');
INSERT INTO paf_req25_r06_r07 VALUES (1, 'R06/R07');
INSERT INTO paf_req25_r06ex VALUES (1, 'R06 extra');
INSERT INTO paf_req25_r06ex_r07 VALUES (1, 'R06 extra/R07');
INSERT INTO paf_req25_r07 VALUES (1, 'R07');
INSERT INTO esp_estoque_anterior VALUES (1, 'estoque anterior');
INSERT INTO esp_paf_req25_r02 VALUES (1, 'R02');
INSERT INTO esp_paf_req25_r03 VALUES (1, 'R03');
INSERT INTO esp_paf_req25_r04 VALUES (1, 'R04');
INSERT INTO esp_paf_req25_r05 VALUES (1, 'R05');
INSERT INTO esp_paf_req25_r06ex VALUES (1, 'R06 extra');
INSERT INTO esp_paf_req25_r07 VALUES (1, 'R07');

-- The sequence tables of the maintenance clean-up.
CREATE TABLE nlanc (nlanc_id INT) ENGINE=MyISAM;
INSERT INTO nlanc VALUES (118), (119);
CREATE TABLE numlanc (numero INT) ENGINE=MyISAM;
INSERT INTO numlanc VALUES (4410);
