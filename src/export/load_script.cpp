#include "export/load_script.h"

#include "export/invoice_line_file.h"
#include "platform/files.h"

namespace zered {
namespace {

// A file name as an SQL string literal: in single quotes, a quote inside doubled.
std::string QuotedFileName(const std::string& name) {
  std::string quoted = "'";
  for (char c : name) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  return quoted + "'";
}

}  // namespace

TextLines LoadScriptLines() {
  return {
      "BEGIN;",
      "set @@session.sql_mode=\"\";",
      "SET names cp1250;",
      "TRUNCATE `pohledavky2`;",
      "LOAD DATA LOCAL INFILE ",
      QuotedFileName(kInvoiceLineFileName),
      " INTO TABLE pohledavky2  CHARACTER SET cp1250 FIELDS TERMINATED BY \"|\";",
      "UPDATE pohledavky2 SET CM=CASTKA-ZBYVA;",
      "TRUNCATE `pohledavky`;",
      "INSERT into `pohledavky` ",
      " (`CFAKT`,`VS`,`TYP`,`ICO`,`SPLATNOST`,`VYSTAVENI`,`PLNENI`,`CASTKA`,`ZAPLACENO`,"
      "`DATUHRADY`,DIC)",
      "SELECT `CISLO`,`VS`,`TYP`,`ICO`,`SPLATNOST`,`VYSTAVENI`,`VYSTAVENI`,`CASTKA`,`CM`,"
      "`DATUHRADY`,DIC from `pohledavky2`;",
      "UPDATE pohledavky SET DATUHRADY=NULL WHERE ZAPLACENO=0;",
      "UPDATE pohledavky p, adresar a SET p.KODPAR=a.KODPAR,p.NAZEVPODNI=a.NAZEVPODNI,"
      "p.POSTA=a.POSTA",
      " WHERE p.DIC=a.KOD_PLATCE;",
      "UPDATE pohledavky p, adresar a SET p.KODPAR=a.KODPAR,p.NAZEVPODNI=a.NAZEVPODNI,"
      "p.POSTA=a.POSTA",
      " WHERE p.ICO=a.ICO and p.KODPAR=\"\";",
      "UPDATE pohledavky p, fakt f SET p.DEALER=f.DEALER WHERE p.TYP=\"V\" and p.VS=f.CFAKT;",
      "commit;",
  };
}

void WriteLoadScript(const std::string& path) { SaveLinesToFile(path, LoadScriptLines()); }

}  // namespace zered
