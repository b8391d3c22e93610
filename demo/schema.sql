-- The receivables tables of the velbor database as the load script fills them, with a few
-- address-book and invoice rows. Used by the demo and by the end-to-end tests; run it in the
-- database to fill (the program's is "velbor").

DROP TABLE IF EXISTS pohledavky2, pohledavky, adresar, fakt;

-- One column per field of an invoice line, in line order; CM is derived by the script.
CREATE TABLE pohledavky2 (
  ID        VARCHAR(20),
  CISLO     VARCHAR(40),
  VS        VARCHAR(40),
  VYSTAVENI DATE,
  SPLATNOST DATE,
  DATUHRADY DATE,
  CASTKA    DECIMAL(15,2),
  ZBYVA     DECIMAL(15,2),
  CMCELKEM  DECIMAL(15,2),
  ICO       VARCHAR(40),
  DIC       VARCHAR(40),
  TYP       CHAR(1),
  MENA      CHAR(3),
  CM        DECIMAL(15,2)
) ENGINE=InnoDB;

CREATE TABLE pohledavky (
  CFAKT      VARCHAR(40),
  VS         VARCHAR(40),
  TYP        CHAR(1),
  ICO        VARCHAR(40),
  SPLATNOST  DATE,
  VYSTAVENI  DATE,
  PLNENI     DATE,
  CASTKA     DECIMAL(15,2),
  ZAPLACENO  DECIMAL(15,2),
  DATUHRADY  DATE,
  DIC        VARCHAR(40),
  KODPAR     VARCHAR(10) NOT NULL DEFAULT '',
  NAZEVPODNI VARCHAR(100),
  POSTA      VARCHAR(60),
  DEALER     VARCHAR(20)
) ENGINE=InnoDB;

CREATE TABLE adresar (
  KODPAR     VARCHAR(10),
  NAZEVPODNI VARCHAR(100),
  POSTA      VARCHAR(60),
  KOD_PLATCE VARCHAR(40),
  ICO        VARCHAR(40)
) ENGINE=InnoDB;

CREATE TABLE fakt (
  CFAKT  VARCHAR(40),
  DEALER VARCHAR(20)
) ENGINE=InnoDB;

INSERT INTO adresar VALUES
  ('P001', 'Žluťoučký kůň s.r.o.', 'Brno', 'CZ25596641', '25596641'),
  ('P002', 'Stavby Šťastný a.s.', 'Ostrava', 'CZ47114983', '47114983'),
  ('P003', 'Pekárna Čermák', 'Olomouc', '', '60193336');

INSERT INTO fakt VALUES
  ('2017100', 'Novák'),
  ('2017101', 'Dvořák');
