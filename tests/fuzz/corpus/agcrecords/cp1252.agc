"Dr MÉNARD",,"a,b",#TRUE#,#FALSE#,-2147483648,99999999999,"unterminated
1,
2