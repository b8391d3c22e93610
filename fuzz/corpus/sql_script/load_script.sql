BEGIN;
set @@session.sql_mode="";
LOAD DATA LOCAL INFILE 
'sa2.txt'
 INTO TABLE t  FIELDS TERMINATED BY "|";
commit;
