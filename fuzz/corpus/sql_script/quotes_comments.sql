SELECT ';', "\";", `a``b` /* ; */ # x
-- y
/*!40101 SET x=1 */ /**/ FROM t;x