// loop
