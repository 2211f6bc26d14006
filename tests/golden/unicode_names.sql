SELECT [客户].[名称] FROM [客户] WHERE [客户].[城市] = N'北京'
