SELECT 'abc
