^^
SET TERM ^^ ;
SELECT 1 ^^
set term ; ^^
GO

SELECT 1.5e3, 0x1F, .5, 12e, 123abc, p.KODPAR <=> :=