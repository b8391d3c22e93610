UPDATE t SET a=:Id, b=:'q n' WHERE c=:id AND @v:=1 AND d::e;
e=:1