-- args: --functions=upper
select count(a), sum(b) + 1 from t
