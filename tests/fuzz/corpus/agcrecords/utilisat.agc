"Dr MARTIN","Dr DURAND","","","",""
8388608,32768,0,0,0,0
1,3,0,0,0,0
"Echo","Ostéo","","","",""
"Bloc Opératoire","","","","",""
