// placeholder until the folder has code
