showMap = 1;
